#include "support/Built_Program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace Test_Support {

QString Built_Program() { return QStringLiteral(SW_PROGRAM_FILE); }

QString Copy_Built_Program(const QString& Exe_Dir, bool With_Crypto)
{
    const QFileInfo Built(Built_Program());
    const QDir From = Built.absoluteDir();
    if (!QDir().mkpath(Exe_Dir))
        return {};
    QStringList Files{Built.fileName()};
#ifdef Q_OS_WIN
    // The window program beside its twin, and every DLL of the build's
    // program folder: the modules are loaded from the program's folder only,
    // and so are the libraries they need.
    Files.append(QStringLiteral("sw40610.exe"));
    const QStringList Dlls = From.entryList({QStringLiteral("*.dll")}, QDir::Files);
    for (const QString& Dll : Dlls)
        if (With_Crypto || Dll != QStringLiteral(SW_CRYPTO_MODULE_NAME))
            Files.append(Dll);
#else
    if (With_Crypto)
        Files.append(QStringLiteral(SW_CRYPTO_MODULE_NAME));
#endif
    for (const QString& Name : Files)
        if (!QFile::copy(From.filePath(Name), Exe_Dir + QLatin1Char('/') + Name))
            return {};
    return Exe_Dir + QLatin1Char('/') + Built.fileName();
}

Program_Run Run_Program(const QString& Program, const QStringList& Arguments, const QString& Working_Dir,
                        const QProcessEnvironment& Env, int Timeout_Ms)
{
    QProcess Process;
    Process.setProcessEnvironment(Env);
    Process.setWorkingDirectory(Working_Dir);
    Process.start(Program, Arguments);
    Program_Run Result;
    if (!Process.waitForFinished(Timeout_Ms)) {
        Process.kill();
        Process.waitForFinished();
        Result.Timed_Out = true;
        return Result;
    }
    Result.Exit_Code = Process.exitStatus() == QProcess::NormalExit ? Process.exitCode() : -1;
    Result.Out = QString::fromUtf8(Process.readAllStandardOutput());
    Result.Err = QString::fromUtf8(Process.readAllStandardError());
#ifdef Q_OS_WIN
    Result.Out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Result.Err.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    return Result;
}

} // namespace Test_Support
