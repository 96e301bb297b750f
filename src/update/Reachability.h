#pragma once

#include <QString>

#include <functional>

#include <QStringList>

#include <optional>

class Clock;
class Echo_Client;

// The index of the first of the four address parts that breaks the program's
// IPv4 rule; nothing when all four pass. Only such an address may reach the
// echo client, so no text of the user's is ever resolved as a host name.
std::optional<int> First_Bad_Address_Part(const QStringList& Parts);

// The gateway's answer to the echo requests of the update dialog.
class Reachability_Check {
public:
    static constexpr int Receive_Timeout_Ms = 400;
    static constexpr int Overall_Ms = 5000;
    static constexpr int Pause_Ms = 10;
    static constexpr int Answers_Wanted = 2;

    Reachability_Check(Echo_Client& Echo, Clock& Time) : Echo(Echo), Time(Time) {}

    // Sends echo requests to Host (its own text as data) until two are
    // answered or the overall time has passed, letting window messages run
    // between attempts. True when the last attempt was answered. A host the
    // client cannot use ends the check at once with false.
    bool Send_Ping(const QString& Host);
    // Called with the bytes of each attempt's reply, 0 on time-out.
    void PingReply(int Bytes_Received);

    // 0 no reply handled yet, 1 answered, 2 not answered.
    int ping_res = 0;
    // The echo client's reason when it could not be used.
    QString Failure;
    // Asked after each attempt; true ends the check at once with false
    // (the user has given up waiting).
    std::function<bool()> Stop_Requested;

private:
    Echo_Client& Echo;
    Clock& Time;
};
