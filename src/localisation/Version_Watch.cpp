#include "localisation/Version_Watch.h"

#include <utility>

Version_Watch::Version_Watch(Http_Client* Http_, QObject* Parent) : QObject(Parent), Http(Http_)
{
    Timer_Update.setObjectName(QStringLiteral("Timer_Update"));
    Timer_Update.setInterval(Version_Check::First_Interval_Ms);
    connect(&Timer_Update, &QTimer::timeout, this, &Version_Watch::Tick);
}

void Version_Watch::Apply_Timer_Rule(bool Wanted)
{
    if (!Wanted) {
        Timer_Update.stop();
        Tick_Held = false;
    } else if (!Timer_Update.isActive() && !Tick_Held) {
        Timer_Update.start();
    }
}

bool Version_Watch::Check_Version()
{
    const bool Newer = Ask();
    if (Tick_Held)
        QTimer::singleShot(0, this, &Version_Watch::Release_Held_Tick);
    return Newer;
}

void Version_Watch::Tick()
{
    if (!Querying) {
        Timer_UpdateTimer();
        return;
    }
    // The held tick stands for every tick that falls due until the query ends.
    Timer_Update.stop();
    Tick_Held = true;
}

void Version_Watch::Release_Held_Tick()
{
    if (std::exchange(Tick_Held, false))
        Timer_UpdateTimer();
}

void Version_Watch::Timer_UpdateTimer()
{
    Timer_Update.stop();
    emit Checked(Ask());
    Timer_Update.setInterval(Version_Check::Later_Interval_Ms);
    Timer_Update.start();
}

bool Version_Watch::Ask()
{
    Querying = true;
    const bool Newer = Version_Check::Is_Newer_Published(Http, Server);
    Querying = false;
    return Newer;
}
