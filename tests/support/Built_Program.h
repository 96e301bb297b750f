#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The command-line program of the build, as the tests start it.
namespace Test_Support {

// The built program as a console runs it: sw40610 on Linux, its console twin
// sw40610.com on Windows (the window program sw40610.exe has no console).
QString Built_Program();

// A program folder of the test's own in Exe_Dir, so that what the program
// writes beside itself (settings, MASTER, PROJECTS) stays in the test's
// folder: the program, and with With_Crypto the module that reads keys and
// certificates. On Windows also the DLLs the program and its modules load,
// which a Windows program finds in its own folder. Returns the program to
// start, or an empty string where a copy failed.
QString Copy_Built_Program(const QString& Exe_Dir, bool With_Crypto);

// How a program run ended and what it printed. Exit_Code is -1 when it
// crashed or was killed at its time-out (then Timed_Out).
struct Program_Run {
    int Exit_Code = -1;
    QString Out;
    QString Err;
    bool Timed_Out = false;
};

// Program run to its end in Working_Dir with Env, killed after Timeout_Ms.
// A Windows console program's CR LF line ends are read as LF.
Program_Run Run_Program(const QString& Program, const QStringList& Arguments, const QString& Working_Dir,
                        const QProcessEnvironment& Env, int Timeout_Ms);

} // namespace Test_Support
