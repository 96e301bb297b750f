#include "platform/Process_Runner.h"

#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
// How long the start itself may take before the program counts as not started.
constexpr int Start_Timeout_Ms = 30000;
} // namespace

Qt_Process_Runner::Qt_Process_Runner() = default;

Qt_Process_Runner::~Qt_Process_Runner() { Let_Go(); }

void Qt_Process_Runner::Let_Go()
{
    if (!Process)
        return;
    if (Process->state() == QProcess::NotRunning) {
        delete Process;
    } else {
        // Destroying a QProcess kills its program; an updater that outlives
        // the wait must go on, so its QProcess is deliberately never destroyed.
        Process->setParent(nullptr);
    }
    Process = nullptr;
}

bool Qt_Process_Runner::Start(const QString& Program, const QString& Parameters, bool Hidden)
{
    Let_Go();
    if (!QFileInfo(Program).isFile())
        return false;
    Process = new QProcess;
    Process->setProgram(Program);
#ifdef Q_OS_WIN
    // The parameters are the program's command line as it is given, and its
    // window is shown, or hidden when asked, through the start-up request.
    Process->setNativeArguments(Parameters);
    Process->setCreateProcessArgumentsModifier([Hidden](QProcess::CreateProcessArguments* Arguments) {
        Arguments->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        Arguments->startupInfo->wShowWindow = Hidden ? SW_HIDE : SW_SHOWNORMAL;
    });
#else
    // Linux desktops have no request to start a program with its window
    // hidden, so Hidden has no effect here.
    Q_UNUSED(Hidden);
    Process->setArguments(QProcess::splitCommand(Parameters));
#endif
    // Its output goes where ours goes; it reads no input from us.
    Process->setProcessChannelMode(QProcess::ForwardedChannels);
    Process->setStandardInputFile(QProcess::nullDevice());
    Process->start();
    if (!Process->waitForStarted(Start_Timeout_Ms)) {
        Let_Go();
        return false;
    }
    return true;
}

qint64 Qt_Process_Runner::Exit_Code()
{
    if (!Process)
        return 0;
    if (Process->state() != QProcess::NotRunning)
        Process->waitForFinished(0);
    if (Process->state() != QProcess::NotRunning)
        return Still_Active;
    if (Process->exitStatus() == QProcess::CrashExit)
        return -1;
    return Process->exitCode();
}

qint64 Qt_Process_Runner::Process_Id() { return Process ? Process->processId() : 0; }
