#pragma once

#include <QChar>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <expected>
#include <functional>
#include <optional>

class QTextStream;
class Raw_Ethernet;

// The command line's commands, each described once: its arguments, the
// options it takes and its help. The command line is read once against this
// table; the help, each command's usage and the refusal of an option a
// command does not take all come from it.
namespace Cli {

// Every exit code of the command line.
enum Exit_Code : int {
    Done = 0,
    // The configuration has errors or a file is not well-formed; the device
    // refused; the two configurations differ (diff); no such version (restore).
    Configuration_Errors = 1,
    // Wrong usage, or not a configuration folder.
    Wrong_Usage = 2,
    // A file could not be read or written; an interface could not be opened.
    File_Error = 3,
    // A set-name, set-ip, flash or reset-to-factory that no device answered.
    No_Device_Answered = 4,
};

// The one way a command ends early: its exit code and what it says on
// standard error (after "sw40610: ").
struct Command_Error {
    Exit_Code Code = Wrong_Usage;
    QString Text;
    // Wrong usage: the help is pointed to.
    bool Usage = false;
};
template <typename T>
using Result = std::expected<T, Command_Error>;

std::unexpected<Command_Error> Usage_Error(const QString& Text);
std::unexpected<Command_Error> Failure(Exit_Code Code, const QString& Text);

// One option, defined once for every command that takes it.
struct Option {
    QStringList Names;   // a short name first, where there is one: {"q", "quiet"}
    QString Value_Name;  // empty for a switch
    QString Help;        // for the options every command of a kind shares; empty otherwise

    QString Long_Name() const { return Names.last(); }
    // "-o FILE", "--json", "--device ADDRESS": as a synopsis shows it.
    QString Synopsis() const;
    QStringList Synopsis_Parts() const;
};

namespace Options {
// Shared by several commands, and read once for all of them.
extern const Option Quiet;
extern const Option Json;
extern const Option Output;
extern const Option Decimal_Separator;
extern const Option Interface;
extern const Option Timeout;
extern const Option Mac;
// One command's own.
extern const Option Device;
extern const Option Update_Option;
extern const Option No_Read_Back;
extern const Option Temporary;
extern const Option Update;
extern const Option Dry_Run;
extern const Option Record;
} // namespace Options

// What a command is given: the option, whether the command needs it, and
// the values it may take when they are few.
struct Takes {
    const Option* What;
    bool Required = false;
    QString Values;  // "firmware+configuration|firmware|configuration"; empty: the option's value name
};

enum class Section { Configuration, Review, History, Devices, Commissioning };

struct Command_Definition {
    QString Name;
    Section Group;
    QStringList Arguments;  // the names of its arguments, all required: {"CONFIG_DIR"}
    QString Missing;        // what is said when fewer are given
    QList<Takes> Options;
    QString Help;           // what it does, lines of at most 48 characters
    // Drawn on an (offscreen) graphics application: always, or only with --record.
    bool Draws = false;
    bool Draws_With_Record = false;
    // An empty argument is a value the command judges (an empty station
    // name), not a missing one (an empty folder name).
    bool Empty_Is_Given = false;

    bool Takes_Option(const Option& Which) const;
    // "compile CONFIG_DIR", "update-file CONFIG_DIR --device ADDRESS [--option ...] [-o FILE]".
    QString Synopsis() const;
    QStringList Synopsis_Parts() const;
};

// Every command, in the order of the help.
const QList<Command_Definition>& Commands();
const Command_Definition* Find_Command(const QString& Name);

// The command line as read: the command, its arguments and its options.
class Invocation {
public:
    const Command_Definition* Command = nullptr;  // none for --help and --version alone
    bool Help = false;
    bool Version = false;
    QStringList Arguments;  // after the command's name

    bool Has(const Option& Which) const { return Values.contains(Which.Long_Name()); }
    QString Value(const Option& Which) const { return Values.value(Which.Long_Name()); }

    // The shared options, read once for every command.
    bool Quiet = false;
    bool Json = false;
    std::optional<QChar> Separator;  // nullopt: the system's
    QString Output;                  // empty: the command's default place

    QMap<QString, QString> Values;   // by long name; a switch holds an empty value
};

// Reads the arguments after the program's name.
Result<Invocation> Parse(const QStringList& Arguments_After_Program);

// The help of every command, or of one.
QString Help_Text();
QString Command_Help_Text(const Command_Definition& Definition);
QString Version_Text();

// Whether the program was started for a command rather than for the window:
// any argument but the few the windowing system takes for itself.
bool Is_Command_Line(const QStringList& Arguments_After_Program);

// How the program starts for these arguments.
enum class Start { Window, Command, Drawing_Report, Drawing_Commission_Record };
Start How_To_Start(const QStringList& Arguments_After_Program);

} // namespace Cli
