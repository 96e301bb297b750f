#include "platform/Clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace {
QElapsedTimer& Monotonic()
{
    static QElapsedTimer Timer = [] { QElapsedTimer T; T.start(); return T; }();
    return Timer;
}
} // namespace

System_Clock::System_Clock() : Start_Ns(Monotonic().nsecsElapsed()) {}

qint64 System_Clock::Tick_Ms() { return (Monotonic().nsecsElapsed() - Start_Ns) / 1000000; }

void System_Clock::Sleep_Ms(int Ms) { QThread::msleep(static_cast<unsigned long>(Ms)); }

void System_Clock::Process_Messages() { QCoreApplication::processEvents(); }
