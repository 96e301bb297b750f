#include "cli/Cli_Arguments.h"

#include "foundation/Ipv4_Address.h"
#include "foundation/Text_Rules.h"
#include "foundation/Workspace.h"

#include <QCommandLineParser>

namespace Cli {

namespace {

// The options Qt's windowing system takes from a window's command line; with
// one of them first the window starts as before.
bool Is_Window_System_Option(QString Argument)
{
    static const QStringList Names = {
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"),          QStringLiteral("qwindowgeometry"),    QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("reverse"),            QStringLiteral("session"),
        QStringLiteral("display"),         QStringLiteral("geometry"),           QStringLiteral("style"),
        QStringLiteral("stylesheet"),      QStringLiteral("widgetcount"),        QStringLiteral("qmljsdebugger"),
        QStringLiteral("nograb"),          QStringLiteral("dograb"),             QStringLiteral("sync"),
    };
    if (Argument.startsWith(QLatin1String("--")))
        Argument.remove(0, 1);
    if (!Argument.startsWith(QLatin1Char('-')))
        return false;
    Argument.remove(0, 1);
    return Names.contains(Argument.section(QLatin1Char('='), 0, 0));
}

const QStringList& Update_Option_Names()
{
    static const QStringList Names = {QStringLiteral("firmware+configuration"), QStringLiteral("firmware"),
                                      QStringLiteral("configuration")};
    return Names;
}

struct Command_Name {
    const char* Name;
    Command What;
};
constexpr Command_Name Commands[] = {
    {"compile", Command::Compile},
    {"gsdml", Command::Gsdml},
    {"check", Command::Check},
    {"update-file", Command::Update_File},
};

} // namespace

bool Is_Command_Line(const QStringList& Arguments_After_Program)
{
    return !Arguments_After_Program.isEmpty() && !Is_Window_System_Option(Arguments_After_Program.first());
}

std::expected<Arguments, QString> Parse(const QStringList& Arguments_After_Program)
{
    QCommandLineParser Parser;
    const QCommandLineOption Help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption Version({QStringLiteral("v"), QStringLiteral("version")}, {});
    const QCommandLineOption Quiet({QStringLiteral("q"), QStringLiteral("quiet")}, {});
    const QCommandLineOption Json(QStringLiteral("json"), {});
    const QCommandLineOption Output({QStringLiteral("o"), QStringLiteral("output")}, {}, QStringLiteral("FILE"));
    const QCommandLineOption Device(QStringLiteral("device"), {}, QStringLiteral("ADDRESS"));
    const QCommandLineOption Option(QStringLiteral("option"), {}, QStringLiteral("WHAT"));
    const QCommandLineOption No_Read_Back(QStringLiteral("no-read-back"), {});
    const QCommandLineOption Separator(QStringLiteral("decimal-separator"), {}, QStringLiteral("SEPARATOR"));
    Parser.addOptions({Help, Version, Quiet, Json, Output, Device, Option, No_Read_Back, Separator});
    if (!Parser.parse(QStringList{QStringLiteral("sw40610")} + Arguments_After_Program))
        return std::unexpected(Parser.errorText());

    Arguments Args;
    if (Parser.isSet(Help)) {
        Args.What = Command::Help;
        return Args;
    }
    if (Parser.isSet(Version)) {
        Args.What = Command::Version;
        return Args;
    }

    const QStringList Positional = Parser.positionalArguments();
    if (Positional.isEmpty())
        return std::unexpected(QStringLiteral("no command given"));
    const auto Found = std::find_if(std::begin(Commands), std::end(Commands), [&](const Command_Name& C) {
        return Positional.first() == QLatin1StringView(C.Name);
    });
    if (Found == std::end(Commands))
        return std::unexpected(QStringLiteral("unknown command '%1'").arg(Positional.first()));
    Args.What = Found->What;
    if (Positional.size() < 2 || Positional[1].isEmpty())
        return std::unexpected(QStringLiteral("%1: no configuration folder given").arg(Found->Name));
    if (Positional.size() > 2)
        return std::unexpected(QStringLiteral("%1: unexpected argument '%2'").arg(Found->Name, Positional[2]));
    Args.Config_Dir = Positional[1];

    // An option the command does not take is refused, not ignored: a build
    // script that passes one expects it to act.
    const auto Only_For = [&](const QCommandLineOption& Opt, std::initializer_list<Command> Allowed)
        -> std::optional<QString> {
        if (!Parser.isSet(Opt) || std::find(Allowed.begin(), Allowed.end(), Args.What) != Allowed.end())
            return std::nullopt;
        return QStringLiteral("%1: option --%2 does not apply").arg(Found->Name, Opt.names().last());
    };
    for (const auto& Refusal : {Only_For(Json, {Command::Check}),
                                Only_For(Output, {Command::Gsdml, Command::Update_File}),
                                Only_For(Device, {Command::Update_File}), Only_For(Option, {Command::Update_File}),
                                Only_For(No_Read_Back, {Command::Update_File})})
        if (Refusal)
            return std::unexpected(*Refusal);

    Args.Quiet = Parser.isSet(Quiet);
    Args.Json = Parser.isSet(Json);
    if (Parser.isSet(Output)) {
        Args.Output = Parser.value(Output);
        if (Args.Output.isEmpty())
            return std::unexpected(QStringLiteral("option --output needs a file name"));
    }
    if (Parser.isSet(Separator)) {
        const QString Text = Parser.value(Separator);
        if (Text != QLatin1String(".") && Text != QLatin1String(","))
            return std::unexpected(QStringLiteral("--decimal-separator must be '.' or ','"));
        Args.Separator = Text.front();
    }
    if (Args.What == Command::Update_File) {
        if (!Parser.isSet(Device))
            return std::unexpected(QStringLiteral("update-file: --device ADDRESS is required"));
        // Blanks around the argument come from quoting in scripts; inside it they are refused.
        const std::optional<Ipv4_Address> Address = Parse_Ipv4(Parser.value(Device).trimmed());
        if (!Address)
            return std::unexpected(
                QStringLiteral("update-file: '%1' is not an IPv4 address (four numbers 0 to 255)")
                    .arg(Parser.value(Device)));
        Args.Device = Address->Text();
        if (Parser.isSet(Option)) {
            Args.Update_Option_Index = static_cast<int>(Update_Option_Names().indexOf(Parser.value(Option)));
            if (Args.Update_Option_Index < 0)
                return std::unexpected(QStringLiteral("update-file: --option must be one of %1")
                                           .arg(Update_Option_Names().join(QStringLiteral(", "))));
        }
        Args.Read_Back = !Parser.isSet(No_Read_Back);
    }
    return Args;
}

QString Help_Text()
{
    return QStringLiteral(
        "Usage: sw40610                            start the configurator's window\n"
        "       sw40610 COMMAND CONFIG_DIR [OPTIONS]\n"
        "       sw40610 --help | --version\n"
        "\n"
        "With a command the configurator runs without a window and without a display.\n"
        "CONFIG_DIR is a configuration folder: the one that holds ParGen.xml,\n"
        "IEC61850_Variables.xml and TLS_Known_Cert.xml; a folder holding none of them is\n"
        "refused.\n"
        "\n"
        "Commands:\n"
        "  compile CONFIG_DIR          check the configuration and write CONFIG_DIR/bin/bank1.bin\n"
        "                              and bank2.bin, as the window's step \"Update Device UDP\" does\n"
        "  gsdml CONFIG_DIR [-o FILE]  write the PROFINET device description (GSDML); default:\n"
        "                              CONFIG_DIR/GSDML-V2.31-Korvex-GW40610-YYYYMMDD.xml (today)\n"
        "  check CONFIG_DIR [--json]   report every error and warning of the general parameters,\n"
        "                              the variables and the certificates, one per line as\n"
        "                              FILE:LINE:COLUMN: error|warning: TEXT, or one JSON document\n"
        "  update-file CONFIG_DIR --device ADDRESS\n"
        "              [--option firmware+configuration|firmware|configuration]\n"
        "              [--no-read-back] [-o FILE]\n"
        "                              write the external updater's parameter file for this\n"
        "                              configuration; default: Ethernet_Update.xml beside the program\n"
        "\n"
        "Options:\n"
        "  -q, --quiet                 print no result lines (errors still go to standard error)\n"
        "  --decimal-separator . | ,   the decimal separator for multiplication factors;\n"
        "                              default: the system's, as the window uses\n"
        "  -h, --help                  print this help\n"
        "  -v, --version               print the program's version\n"
        "\n"
        "Exit codes:\n"
        "  0  done (warnings may have been printed)\n"
        "  1  the configuration has errors, or a file is not well-formed (file, line and\n"
        "     column on standard error)\n"
        "  2  wrong usage, or not a configuration folder\n"
        "  3  a file could not be read or written, a project file is no regular file, or\n"
        "     memory ran out (the system's error text on standard error)\n"
        "Nothing is written when the exit code is not 0: existing bank and GSDML files stay\n"
        "as they were.\n"
        "\n"
        "Messages come in the language chosen in the window (Tavorix.xml beside the program),\n"
        "or in English.\n");
}

QString Version_Text()
{
    return QStringLiteral("%1 %2 - %3\n").arg(Identity::SW_Code, Identity::SW_Version, Identity::SW_Description);
}

} // namespace Cli
