#include "update/Start_Program.h"

#include "platform/Clock.h"
#include "platform/Process_Runner.h"

Start_Program_Outcome Start_Program(Process_Runner& Runner, Clock& Time, const QString& NomeSW,
                                    const QString& Parameter, quint8 tipo)
{
    if (!Runner.Start(NomeSW, Parameter, tipo != 0))
        return Start_Program_Outcome::Not_Started;
    const qint64 Begin = Time.Tick_Ms();
    for (;;) {
        if (Runner.Exit_Code() != Process_Runner::Still_Active) {
            Time.Sleep_Ms(Start_Program_Poll_Ms);
            return Start_Program_Outcome::Ended;
        }
        if (Time.Tick_Ms() - Begin >= Start_Program_Limit_Ms)
            return Start_Program_Outcome::Timed_Out;
        Time.Sleep_Ms(Start_Program_Poll_Ms);
    }
}
