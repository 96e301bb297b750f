#include "update/Start_Program.h"

#include "platform/Clock.h"
#include "platform/Process_Runner.h"

Start_Program_Outcome Start_Program(Process_Runner& Runner, Clock& Time, const QString& NomeSW,
                                    const QString& Parameter, quint8 tipo,
                                    const std::function<void(qint64 Waited_Ms)>& While_Waiting)
{
    if (!Runner.Start(NomeSW, Parameter, tipo != 0))
        return Start_Program_Outcome::Not_Started;
    const qint64 Begin = Time.Tick_Ms();
    for (;;) {
        if (Runner.Exit_Code() != Process_Runner::Still_Active) {
            Time.Sleep_Ms(Start_Program_Poll_Ms);
            return Start_Program_Outcome::Ended;
        }
        const qint64 Waited = Time.Tick_Ms() - Begin;
        if (Waited >= Start_Program_Limit_Ms)
            return Start_Program_Outcome::Timed_Out;
        if (While_Waiting)
            While_Waiting(Waited);
        Time.Process_Messages();
        Time.Sleep_Ms(Start_Program_Poll_Ms);
    }
}
