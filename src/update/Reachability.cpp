#include "update/Reachability.h"

#include "foundation/Ipv4_Address.h"
#include "platform/Clock.h"
#include "platform/Echo_Client.h"

std::optional<int> First_Bad_Address_Part(const QStringList& Parts) { return First_Bad_Ipv4_Part(Parts); }

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
