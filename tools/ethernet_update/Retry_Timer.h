#pragma once

#include <QtGlobal>

// How long the updater waits for an answer before it sends a request again,
// learnt from the measured round trips as TCP learns its retransmission
// time-out: a smoothed round trip plus four times its mean deviation, never
// below a floor, doubled for each try that goes unanswered. Only requests
// answered on their first try are measured, since a later answer may belong
// to any of the tries; until then a doubled wait stays doubled.
class Retry_Timer {
public:
    static constexpr qint64 Floor_Us = 20'000;
    // The clock's granularity in the formula: a variation below it is noise.
    static constexpr qint64 Granularity_Us = 1'000;
    static constexpr qint64 Ceiling_Us = 2'000'000;

    // Initial_Ms: the wait before any round trip was measured.
    explicit Retry_Timer(int Initial_Ms);

    // The wait for the try about to be sent, in whole milliseconds.
    int Wait_Ms() const;
    // The try went unanswered: the next one waits twice as long.
    void Timed_Out();
    // An answer arrived Round_Trip_Us after its try was sent.
    void Answered(qint64 Round_Trip_Us, bool First_Try);

    qint64 Smoothed_Us() const { return Srtt_Us; }
    qint64 Deviation_Us() const { return Rttvar_Us; }

private:
    qint64 Srtt_Us = -1; // -1 until the first measurement
    qint64 Rttvar_Us = 0;
    qint64 Rto_Us;
};
