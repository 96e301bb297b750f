#pragma once

#include "cli/Cli_Registry.h"
#include "commission/Commission_Record.h"

#include <QString>
#include <QStringList>

#include <expected>
#include <functional>

class Decimal_Separator;
class QTextStream;
class Raw_Ethernet;
class Workspace;
struct Configuration;

namespace Cli {

// Draws the report of Config (opened by the command) into the PDF file at
// Path (empty: the report's own name in the configuration's folder); the
// path written, or the reason when it is not written.
using Report_Writer = std::function<std::expected<QString, QString>(
    const Workspace& Space, const Configuration& Config, Decimal_Separator& Separator, const QString& Path)>;

// What draws: given by the graphics application's start, absent on a core one.
struct Drawing {
    Report_Writer Write_Report;
    Commission::Record_Writer Write_Record;
};

// What a command runs with besides its arguments.
struct Command_Context {
    QString Exe_Dir;  // the program folder: settings, language files, the updater's parameter file
    QTextStream& Out;
    QTextStream& Err;
    Raw_Ethernet& Ethernet;
    const Drawing& Draw;
};

// Runs the command line on a core application only: no window, no display.
// Exe_Dir is the program folder (settings file, language files, updater's
// parameter file). Returns the exit code.
int Run(const QStringList& Arguments_After_Program, const QString& Exe_Dir, QTextStream& Out, QTextStream& Err,
        const Drawing& Draw = {});
// The same on the given network access (tests hand in their own).
int Run(const QStringList& Arguments_After_Program, const QString& Exe_Dir, QTextStream& Out, QTextStream& Err,
        Raw_Ethernet& Ethernet, const Drawing& Draw = {});

// Creates the core application and runs the command line on the process's
// standard output and standard error.
int Main(int argc, char* argv[]);

} // namespace Cli
