#include "ethernet_update/Retry_Timer.h"

Retry_Timer::Retry_Timer(int Initial_Ms)
    : Rto_Us(qBound<qint64>(Floor_Us, qint64(Initial_Ms) * 1000, qMax<qint64>(Ceiling_Us, qint64(Initial_Ms) * 1000)))
{
}

int Retry_Timer::Wait_Ms() const
{
    return static_cast<int>((Rto_Us + 999) / 1000);
}

void Retry_Timer::Timed_Out()
{
    // A long initial wait given on the command line is never cut by the ceiling.
    Rto_Us = qMax(Rto_Us, qMin(Rto_Us * 2, Ceiling_Us));
}

void Retry_Timer::Answered(qint64 Round_Trip_Us, bool First_Try)
{
    if (!First_Try)
        return;
    const qint64 R = qMax<qint64>(0, Round_Trip_Us);
    if (Srtt_Us < 0) {
        Srtt_Us = R;
        Rttvar_Us = R / 2;
    } else {
        Rttvar_Us = (3 * Rttvar_Us + qAbs(Srtt_Us - R)) / 4;
        Srtt_Us = (7 * Srtt_Us + R) / 8;
    }
    Rto_Us = qBound(Floor_Us, Srtt_Us + qMax(Granularity_Us, 4 * Rttvar_Us), Ceiling_Us);
}
