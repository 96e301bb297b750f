#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace Cli {

// Runs the command line on a core application only: no window, no display.
// Exe_Dir is the program folder (settings file, language files, updater's
// parameter file). Returns the exit code.
int Run(const QStringList& Arguments_After_Program, const QString& Exe_Dir, QTextStream& Out, QTextStream& Err);

// Creates the core application and runs the command line on the process's
// standard output and standard error.
int Main(int argc, char* argv[]);

} // namespace Cli
