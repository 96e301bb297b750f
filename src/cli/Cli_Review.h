#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The commands that look at whole configurations: "diff" compares two, "report"
// writes one's PDF report (run by the program's start, which gives it a
// graphics application; see Run_Report in app/).
namespace Cli {

// Whether the command line is one of these commands, and which.
bool Is_Diff_Command(const QStringList& Arguments_After_Program);
bool Is_Report_Command(const QStringList& Arguments_After_Program);

// sw40610 diff CONFIG_A CONFIG_B [--json] [--decimal-separator . | ,]: one line
// per difference. Exit 0 when the two give the device the same configuration,
// 1 when they differ, 2 for wrong usage, 3 when a file could not be read.
int Run_Diff(const QStringList& Arguments_After_Command, QTextStream& Out, QTextStream& Err);

// The lines the help adds for these commands.
QString Review_Help_Text();

} // namespace Cli
