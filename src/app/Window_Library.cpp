#include "app/Window_Library.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QString>

#include <cstdio>
#include <cstdlib>

#ifdef Q_OS_LINUX
#include <climits>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// The folder of the running executable, known before any application object
// exists (QCoreApplication::applicationDirPath needs one).
QString Executable_Dir(const char* Argv0)
{
#if defined(Q_OS_LINUX)
    char Buffer[PATH_MAX];
    const ssize_t Length = ::readlink("/proc/self/exe", Buffer, sizeof Buffer - 1);
    if (Length > 0)
        return QFileInfo(QString::fromLocal8Bit(Buffer, Length)).absolutePath();
#elif defined(Q_OS_WIN)
    wchar_t Buffer[32768];
    const DWORD Length = ::GetModuleFileNameW(nullptr, Buffer, 32768);
    if (Length > 0 && Length < 32768)
        return QFileInfo(QString::fromWCharArray(Buffer, int(Length))).absolutePath();
#endif
    return QFileInfo(QString::fromLocal8Bit(Argv0)).absolutePath();
}

int Run_Library_Entry(const char* Entry_Name, const char* What, int argc, char* argv[])
{
    QLibrary Window(QDir(Executable_Dir(argv[0])).filePath(QStringLiteral("libsw40610_window")));
    using Entry = int (*)(int, char**);
    const auto Start = reinterpret_cast<Entry>(Window.resolve(Entry_Name));
    if (!Start) {
        std::fprintf(stderr, "sw40610: %s: %s\n", What, Window.errorString().toLocal8Bit().constData());
        return EXIT_FAILURE;
    }
    // The library stays loaded until the process ends: Qt's objects may
    // still run code from it while the process shuts down.
    return Start(argc, argv);
}

} // namespace

int Run_Window_Library(int argc, char* argv[])
{
    return Run_Library_Entry("sw40610_window_main", "the window cannot be started", argc, argv);
}

int Run_Report_Library(int argc, char* argv[])
{
    return Run_Library_Entry("sw40610_report_main", "the report cannot be drawn", argc, argv);
}
