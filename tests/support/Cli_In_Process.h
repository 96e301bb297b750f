#pragma once

#include "cli/Cli_Commands.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// A command run inside the test's own process, with the program folder
// Program_Dir: its exit code and what it printed.
struct Run_Result {
    int Exit_Code = -1;
    QString Out;
    QString Err;
};

inline Run_Result Run_In_Process(const QStringList& Arguments, const QString& Program_Dir)
{
    Run_Result Result;
    {
        QTextStream Out(&Result.Out);
        QTextStream Err(&Result.Err);
        Result.Exit_Code = Cli::Run(Arguments, Program_Dir, Out, Err);
    }
    return Result;
}
