#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <expected>
#include <optional>

// The command line: a command and its configuration folder run the window's
// own core code without a window, print one line per result and end with one
// of these exit codes.
namespace Cli {

enum Exit_Code : int {
    Done = 0,
    // The configuration has errors, or a file is not well-formed.
    Configuration_Errors = 1,
    Wrong_Usage = 2,
    // A file could not be read or written.
    File_Error = 3,
};

enum class Command { Help, Version, Compile, Gsdml, Check, Update_File };

struct Arguments {
    Command What = Command::Help;
    QString Config_Dir;
    bool Quiet = false;
    bool Json = false;
    QString Output;                  // -o FILE; empty: the default place
    QString Device;                  // update-file: the device address as typed
    int Update_Option_Index = 0;     // 0 firmware + configuration, 1 firmware, 2 configuration
    bool Read_Back = true;
    std::optional<QChar> Separator;  // nullopt: the system's
};

// Whether the program was started for a command rather than for the window:
// any argument but the few the windowing system takes for itself.
bool Is_Command_Line(const QStringList& Arguments_After_Program);

// Reads the arguments after the program name; the reason for a refusal.
std::expected<Arguments, QString> Parse(const QStringList& Arguments_After_Program);

QString Help_Text();
QString Version_Text();

} // namespace Cli
