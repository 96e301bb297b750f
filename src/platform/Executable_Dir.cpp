#include "platform/Executable_Dir.h"

#include <QCoreApplication>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <climits>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

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
    if (Argv0)
        return QFileInfo(QString::fromLocal8Bit(Argv0)).absolutePath();
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}
