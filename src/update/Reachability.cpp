#include "update/Reachability.h"

#include "platform/Clock.h"
#include "platform/Echo_Client.h"

std::optional<int> First_Bad_Address_Part(const QStringList& Parts)
{
    for (int I = 0; I < 4; ++I) {
        const QString Part = I < Parts.size() ? Parts[I] : QString();
        bool Digits = !Part.isEmpty() && Part.size() <= 3;
        for (const QChar Letter : Part)
            Digits = Digits && Letter >= u'0' && Letter <= u'9';
        if (!Digits || Part.toInt() > 255)
            return I;
    }
    return std::nullopt;
}

void Reachability_Check::PingReply(int Bytes_Received) { ping_res = Bytes_Received > 0 ? 1 : 2; }

bool Reachability_Check::Send_Ping(const QString& Host)
{
    ping_res = 0;
    Failure.clear();
    const qint64 Start = Time.Tick_Ms();
    const QByteArray Data = Host.toUtf8();
    int Answers = 0;
    for (;;) {
        const qint64 Attempt_Start = Time.Tick_Ms();
        const auto Reply = Echo.Echo(Host, Data, Receive_Timeout_Ms);
        if (!Reply) {
            Failure = Reply.error();
            return false;
        }
        PingReply(*Reply);
        do {
            Time.Sleep_Ms(Pause_Ms);
            Time.Process_Messages();
        } while (ping_res == 0 && Time.Tick_Ms() - Attempt_Start <= Receive_Timeout_Ms);
        if (Stop_Requested && Stop_Requested())
            return false;

        if (ping_res == 1)
            ++Answers;
        if (Answers >= Answers_Wanted)
            break;
        if (Time.Tick_Ms() - Start > Overall_Ms)
            break;
    }
    return ping_res == 1;
}
