#include "cli/Cli_Registry.h"

#include "foundation/Identity.h"

#include <QCommandLineParser>

#include <algorithm>

namespace Cli {

std::unexpected<Command_Error> Usage_Error(const QString& Text)
{
    return std::unexpected(Command_Error{Wrong_Usage, Text, true});
}

std::unexpected<Command_Error> Failure(Exit_Code Code, const QString& Text)
{
    return std::unexpected(Command_Error{Code, Text});
}

QString Option::Synopsis() const
{
    const QString Name = Names.first().size() == 1 ? QStringLiteral("-") + Names.first() : QStringLiteral("--") + Long_Name();
    return Value_Name.isEmpty() ? Name : Name + QLatin1Char(' ') + Value_Name;
}

namespace Options {
const Option Quiet{{QStringLiteral("q"), QStringLiteral("quiet")}, {},
                   QStringLiteral("print no result lines (errors still go to standard error)")};
const Option Json{{QStringLiteral("json")}, {}, {}};
const Option Output{{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("FILE"), {}};
const Option Decimal_Separator{{QStringLiteral("decimal-separator")}, QStringLiteral(". | ,"),
                               QStringLiteral("the decimal separator for multiplication factors;\n"
                                              "default: the system's, as the window uses")};
const Option Interface{{QStringLiteral("interface")}, QStringLiteral("IF"), {}};
const Option Timeout{{QStringLiteral("timeout")}, QStringLiteral("MS"), {}};
const Option Mac{{QStringLiteral("mac")}, QStringLiteral("MAC"), {}};
const Option Device{{QStringLiteral("device")}, QStringLiteral("ADDRESS"), {}};
const Option Update_Option{{QStringLiteral("option")}, QStringLiteral("WHAT"), {}};
const Option No_Read_Back{{QStringLiteral("no-read-back")}, {}, {}};
const Option Temporary{{QStringLiteral("temporary")}, {}, {}};
const Option Update{{QStringLiteral("update")}, {}, {}};
const Option Dry_Run{{QStringLiteral("dry-run")}, {}, {}};
const Option Record{{QStringLiteral("record")}, QStringLiteral("FILE.pdf"), {}};
} // namespace Options

namespace {

const Option Help_Option{{QStringLiteral("h"), QStringLiteral("help")}, {}, QStringLiteral("print this help, or a command's own")};
const Option Version_Option{{QStringLiteral("v"), QStringLiteral("version")}, {},
                            QStringLiteral("print the program's version")};

const QList<const Option*>& All_Options()
{
    using namespace Options;
    static const QList<const Option*> List = {&Quiet,  &Json,         &Output,    &Decimal_Separator, &Interface,
                                              &Timeout, &Mac,         &Device,    &Update_Option,     &No_Read_Back,
                                              &Temporary, &Update,    &Dry_Run,   &Record,            &Help_Option,
                                              &Version_Option};
    return List;
}

// Shown once under "Options:" rather than in every synopsis.
bool Is_Shared(const Option* Which) { return Which == &Options::Quiet || Which == &Options::Decimal_Separator; }

// The text of a value an option needs when it is given empty.
QString Needed_Value(const Option& Which)
{
    if (Which.Value_Name.startsWith(QLatin1String("FILE")))
        return QStringLiteral("a file name");
    if (&Which == &Options::Interface)
        return QStringLiteral("an interface name");
    return QStringLiteral("a value");
}

constexpr qsizetype Help_Column = 30;
constexpr qsizetype Line_Width = 94;

// The units of a synopsis laid out in lines of at most Width, the lines
// after the first indented by Indent; a unit ("[--option WHAT]") is never broken.
QStringList Wrapped(const QStringList& Units, qsizetype Width, qsizetype Indent)
{
    QStringList Lines;
    QString Line;
    for (const QString& Unit : Units) {
        const qsizetype Limit = Lines.isEmpty() ? Width : Width - Indent;
        if (!Line.isEmpty() && Line.size() + 1 + Unit.size() > Limit) {
            Lines.append(Line);
            Line.clear();
        }
        Line += (Line.isEmpty() ? QString() : QStringLiteral(" ")) + Unit;
    }
    Lines.append(Line);
    for (qsizetype I = 1; I < Lines.size(); ++I)
        Lines[I] = QString(Indent, QLatin1Char(' ')) + Lines[I];
    return Lines;
}

// "  SYNOPSIS                    HELP LINE", the help's column layout; a
// synopsis too long for its column stands on lines of its own.
QString Entry(const QStringList& Synopsis, const QString& Help, qsizetype Synopsis_Indent = 0)
{
    const QStringList Left = Wrapped(Synopsis, Line_Width - 2, Synopsis_Indent);
    const QStringList Right = Help.split(QLatin1Char('\n'));
    const bool Beside = Left.size() == 1 && Left.first().size() + 2 < Help_Column;
    QString Text;
    for (const QString& Line : Left)
        Text += QStringLiteral("  ") + (Beside ? Line.leftJustified(Help_Column - 2) + Right.first() : Line) + u'\n';
    for (qsizetype R = Beside ? 1 : 0; R < Right.size(); ++R)
        Text += QString(Help_Column, QLatin1Char(' ')) + Right[R] + u'\n';
    return Text;
}

// "-q, --quiet", "--decimal-separator . | ,": as the list of options shows it.
QString Shown_Option(const Option& Which)
{
    return Which.Names.size() > 1 ? QStringLiteral("-%1, --%2").arg(Which.Names.first(), Which.Long_Name())
                                  : Which.Synopsis();
}

QString Section_Heading(Section Group)
{
    switch (Group) {
    case Section::Configuration: return QStringLiteral("Commands:\n");
    case Section::Review: return QStringLiteral("\nComparing and reporting:\n");
    case Section::History:
        return QStringLiteral("\nEarlier versions (kept in CONFIG_DIR/.history before each save, the newest 20 per file):\n");
    case Section::Devices:
        return QStringLiteral("\nDevices on the network (PROFINET DCP, raw Ethernet; no configuration folder):\n");
    case Section::Commissioning: return QStringLiteral("\nCommissioning a plant (PROFINET DCP on raw Ethernet):\n");
    }
    return {};
}

QString Section_Notes(Section Group)
{
    if (Group != Section::Devices)
        return {};
    return QStringLiteral(
        "  A value set without --temporary is kept by the device through a restart.\n"
        "  These commands need the right to send raw Ethernet frames: on Linux run\n"
        "  'sudo setcap cap_net_raw,cap_net_admin+eip' on the program once (or run it as\n"
        "  root); on Windows install Npcap. Exit codes as above; 1 also when the device\n"
        "  refused or the name breaks a station-name rule, 2 for a MAC that is no single\n"
        "  device's (group, broadcast, all zeros, the interface's own) and an address no\n"
        "  device may hold, 3 when the interface cannot be opened, 4 when no device\n"
        "  answered a set-name, set-ip or flash with the answer to what was sent.\n");
}

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

} // namespace

bool Command_Definition::Takes_Option(const Option& Which) const
{
    return std::any_of(Options.begin(), Options.end(), [&](const Takes& T) { return T.What == &Which; });
}

QStringList Command_Definition::Synopsis_Parts() const
{
    QStringList Parts{Name};
    Parts += Arguments;
    for (const Takes& T : Options) {
        if (Is_Shared(T.What))
            continue;
        QString Shown = T.What->Synopsis();
        if (!T.Values.isEmpty())
            Shown = Shown.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') + T.Values;
        Parts.append(T.Required ? Shown : QLatin1Char('[') + Shown + QLatin1Char(']'));
    }
    return Parts;
}

QString Command_Definition::Synopsis() const { return Synopsis_Parts().join(QLatin1Char(' ')); }

const QList<Command_Definition>& Commands()
{
    using namespace Options;
    static const QList<Command_Definition> List = {
        {QStringLiteral("compile"), Section::Configuration, {QStringLiteral("CONFIG_DIR")},
         QStringLiteral("no configuration folder given"), {{&Quiet}, {&Decimal_Separator}},
         QStringLiteral("check the configuration and write CONFIG_DIR/bin/bank1.bin\n"
                        "and bank2.bin, as the window's step \"Update Device UDP\" does")},
        {QStringLiteral("gsdml"), Section::Configuration, {QStringLiteral("CONFIG_DIR")},
         QStringLiteral("no configuration folder given"), {{&Output}, {&Quiet}, {&Decimal_Separator}},
         QStringLiteral("write the PROFINET device description (GSDML); default:\n"
                        "CONFIG_DIR/GSDML-V2.31-Korvex-GW40610-YYYYMMDD.xml (today)")},
        {QStringLiteral("check"), Section::Configuration, {QStringLiteral("CONFIG_DIR")},
         QStringLiteral("no configuration folder given"), {{&Json}, {&Quiet}, {&Decimal_Separator}},
         QStringLiteral("report every error and warning of the general parameters,\n"
                        "the variables and the certificates, one per line as\n"
                        "FILE:LINE:COLUMN: error|warning: TEXT, or one JSON document")},
        {QStringLiteral("update-file"), Section::Configuration, {QStringLiteral("CONFIG_DIR")},
         QStringLiteral("no configuration folder given"),
         {{&Device, true},
          {&Update_Option, false, QStringLiteral("firmware+configuration|firmware|configuration")},
          {&No_Read_Back},
          {&Output},
          {&Quiet},
          {&Decimal_Separator}},
         QStringLiteral("write the external updater's parameter file for this\n"
                        "configuration; default: Ethernet_Update.xml beside the program")},
        {QStringLiteral("diff"), Section::Review, {QStringLiteral("CONFIG_A"), QStringLiteral("CONFIG_B")},
         QStringLiteral("two configuration folders are needed, CONFIG_A and CONFIG_B"), {{&Json}, {&Decimal_Separator}},
         QStringLiteral("list what the device would be given differently, one line\n"
                        "per difference as FILE: ITEM: A -> B, or one JSON document;\n"
                        "a changed description (Mnemonic) is listed too, marked as\n"
                        "not sent to the device; exit 0 the same for the device,\n"
                        "1 different, 2 wrong usage, 3 a file could not be read")},
        {QStringLiteral("report"), Section::Review, {QStringLiteral("CONFIG_DIR")},
         QStringLiteral("one configuration folder is needed, CONFIG_DIR"), {{&Output}, {&Quiet}, {&Decimal_Separator}},
         QStringLiteral("write the configuration's PDF report; default:\n"
                        "CONFIG_DIR/<configuration>-report.pdf (needs no display)"),
         true},
        {QStringLiteral("history"), Section::History, {QStringLiteral("CONFIG_DIR")},
         QStringLiteral("one configuration folder is needed"), {{&Json}},
         QStringLiteral("list the kept versions, newest first: VERSION, FILE, TIME,\n"
                        "SIZE; or one JSON document [{\"file\", \"version\", \"time\",\n"
                        "\"size\"}]")},
        {QStringLiteral("restore"), Section::History, {QStringLiteral("CONFIG_DIR"), QStringLiteral("VERSION")},
         QStringLiteral("a configuration folder and a version are needed"), {},
         QStringLiteral("put a kept version back; the current one is kept first, so\n"
                        "the restore can be undone; exit 0 done, 1 no such version,\n"
                        "2 wrong usage, 3 not written (or the configuration is open\n"
                        "in another program)")},
        {QStringLiteral("discover"), Section::Devices, {}, {}, {{&Interface}, {&Timeout}, {&Json}},
         QStringLiteral("list the PROFINET devices that answer on IF (default: every\n"
                        "Ethernet interface that is up) within MS milliseconds\n"
                        "(default 1000); gateways of this type are marked gw40610.\n"
                        "Control characters in a device's texts are written as\n"
                        "escapes (\\n, \\x1b). At most 2048 devices are kept; further\n"
                        "answers are counted as dropped, unreadable ones as malformed\n"
                        "(on standard error).\n"
                        "--json: {\"interface\": IF, \"devices\": [...], \"dropped\": N,\n"
                        "\"malformed\": N}, or a list of these when no interface is named")},
        {QStringLiteral("set-name"), Section::Devices, {QStringLiteral("NAME")},
         QStringLiteral("the station name NAME is needed"), {{&Interface, true}, {&Mac, true}, {&Temporary}},
         QStringLiteral("give the device its PROFINET station name"), false, false, true},
        {QStringLiteral("set-ip"), Section::Devices,
         {QStringLiteral("ADDRESS"), QStringLiteral("MASK"), QStringLiteral("GATEWAY")},
         QStringLiteral("ADDRESS, MASK and GATEWAY are needed"), {{&Interface, true}, {&Mac, true}, {&Temporary}},
         QStringLiteral("give the device its IP address, subnet mask and gateway"), false, false, true},
        {QStringLiteral("flash"), Section::Devices, {}, {}, {{&Interface, true}, {&Mac, true}},
         QStringLiteral("let the device flash its LED")},
        {QStringLiteral("commission"), Section::Commissioning, {QStringLiteral("PLANT.csv")},
         QStringLiteral("the plant list PLANT.csv is needed"),
         {{&Interface, true}, {&Update}, {&Dry_Run}, {&Json}, {&Record}, {&Timeout}},
         QStringLiteral("name and address every gateway of the plant list\n"
                        "(mac,station_name,ip,mask,gateway,configuration; ',' or ';')\n"
                        "after one search of MS milliseconds (default 1000): what\n"
                        "already holds is left alone, the rest is set permanently and\n"
                        "checked by an Identify of the new name; each configuration is\n"
                        "compiled, and with --update sent to its gateway by the updater.\n"
                        "--dry-run searches and says what would be done, sending no Set;\n"
                        "--json one document; --record writes the commissioning record.\n"
                        "The state is kept in PLANT.csv.state.json after every gateway;\n"
                        "Ctrl+C stops after the current gateway, and a second run goes\n"
                        "on without sending anything to gateways already right.\n"
                        "Exit 0 every gateway done or already right, 1 any not (or the\n"
                        "list has problems, each given as FILE:LINE:COLUMN), 2 wrong\n"
                        "usage, 3 a file could not be read or written, 4 no device\n"
                        "answered at all"),
         false, true},
        {QStringLiteral("reset-to-factory"), Section::Commissioning, {}, {}, {{&Interface, true}, {&Mac, true}},
         QStringLiteral("DESTRUCTIVE, asks nothing: the device forgets its station name\n"
                        "and IP parameter (DCP ResetToFactory); exit 0 done, 1 refused,\n"
                        "3 interface unusable, 4 no answer")},
    };
    return List;
}

const Command_Definition* Find_Command(const QString& Name)
{
    const QList<Command_Definition>& List = Commands();
    const auto Found = std::find_if(List.begin(), List.end(), [&](const Command_Definition& C) { return C.Name == Name; });
    return Found == List.end() ? nullptr : &*Found;
}

Result<Invocation> Parse(const QStringList& Arguments_After_Program)
{
    // Every option of every command, so that a value is never taken for the
    // command's name; which command takes which is checked after.
    QCommandLineParser Parser;
    for (const Option* Which : All_Options())
        Parser.addOption(QCommandLineOption(Which->Names, {}, Which->Value_Name));
    if (!Parser.parse(QStringList{QStringLiteral("sw40610")} + Arguments_After_Program))
        return Usage_Error(Parser.errorText());

    Invocation Given;
    for (const Option* Which : All_Options())
        if (Parser.isSet(Which->Long_Name()))
            Given.Values.insert(Which->Long_Name(), Parser.value(Which->Long_Name()));
    Given.Help = Given.Has(Help_Option);
    Given.Version = Given.Has(Version_Option);
    QStringList Positional = Parser.positionalArguments();
    if (Positional.isEmpty()) {
        if (Given.Help || Given.Version)
            return Given;
        return Usage_Error(QStringLiteral("no command given"));
    }
    Given.Command = Find_Command(Positional.first());
    if (!Given.Command) {
        if (Given.Help || Given.Version)
            return Given;
        return Usage_Error(QStringLiteral("unknown command '%1'").arg(Positional.first()));
    }
    if (Given.Help || Given.Version)
        return Given;
    const Command_Definition& Definition = *Given.Command;
    Positional.removeFirst();
    Given.Arguments = Positional;

    const qsizetype Wanted = Definition.Arguments.size();
    if (Positional.size() > Wanted)
        return Usage_Error(QStringLiteral("%1: unexpected argument '%2'").arg(Definition.Name, Positional[Wanted]));
    if (Positional.size() < Wanted || (!Definition.Empty_Is_Given && Positional.contains(QString())))
        return Usage_Error(Definition.Name + QStringLiteral(": ") + Definition.Missing);

    // An option the command does not take is refused, not ignored: a build
    // script that passes one expects it to act.
    for (const Option* Which : All_Options())
        if (Given.Has(*Which) && !Definition.Takes_Option(*Which))
            return Usage_Error(QStringLiteral("%1: option --%2 does not apply").arg(Definition.Name, Which->Long_Name()));
    for (const Takes& T : Definition.Options) {
        if (T.Required && !Given.Has(*T.What))
            return Usage_Error(QStringLiteral("%1: %2 is required").arg(Definition.Name, T.What->Synopsis()));
        if (!T.What->Value_Name.isEmpty() && Given.Has(*T.What) && Given.Value(*T.What).isEmpty())
            return Usage_Error(QStringLiteral("option --%1 needs %2").arg(T.What->Long_Name(), Needed_Value(*T.What)));
    }

    // The shared options, read here once for every command.
    Given.Quiet = Given.Has(Options::Quiet);
    Given.Json = Given.Has(Options::Json);
    Given.Output = Given.Value(Options::Output);
    if (Given.Has(Options::Decimal_Separator)) {
        const QString Text = Given.Value(Options::Decimal_Separator);
        if (Text != QLatin1String(".") && Text != QLatin1String(","))
            return Usage_Error(QStringLiteral("--decimal-separator must be '.' or ','"));
        Given.Separator = Text.front();
    }
    return Given;
}

QString Command_Help_Text(const Command_Definition& Definition)
{
    QString Text = QStringLiteral("Usage: sw40610 ") + Definition.Synopsis() + QStringLiteral("\n\n");
    Text += Entry(Definition.Synopsis_Parts(), Definition.Help, Definition.Name.size() + 3);
    QStringList Shared;
    for (const Takes& T : Definition.Options)
        if (Is_Shared(T.What))
            Shared.append(Entry({Shown_Option(*T.What)}, T.What->Help));
    if (!Shared.isEmpty())
        Text += QStringLiteral("\nOptions:\n") + Shared.join(QString());
    return Text;
}

QString Help_Text()
{
    QString Text = QStringLiteral(
        "Usage: sw40610                            start the configurator's window\n"
        "       sw40610 COMMAND ARGUMENTS [OPTIONS]\n"
        "       sw40610 COMMAND --help | sw40610 --help | --version\n"
        "\n"
        "With a command the configurator runs without a window and without a display.\n"
        "CONFIG_DIR is a configuration folder: the one that holds ParGen.xml,\n"
        "IEC61850_Variables.xml and TLS_Known_Cert.xml; a folder holding none of them is\n"
        "refused, and so is one whose project file is there but cannot be read (every\n"
        "command that takes a configuration folder refuses these alike).\n"
        "\n");
    std::optional<Section> Current;
    for (const Command_Definition& Definition : Commands()) {
        if (Current != Definition.Group) {
            if (Current)
                Text += Section_Notes(*Current);
            Current = Definition.Group;
            Text += Section_Heading(Definition.Group);
        }
        Text += Entry(Definition.Synopsis_Parts(), Definition.Help, Definition.Name.size() + 3);
    }
    if (Current)
        Text += Section_Notes(*Current);
    Text += QStringLiteral("\nOptions:\n");
    for (const Option* Which : {&Options::Quiet, &Options::Decimal_Separator, &Help_Option, &Version_Option}) {
        QStringList Takers;
        for (const Command_Definition& Definition : Commands())
            if (Definition.Takes_Option(*Which))
                Takers.append(Definition.Name);
        Text += Entry({Shown_Option(*Which)}, Takers.isEmpty() ? Which->Help
                                              : Which->Help + QStringLiteral("\n(") + Takers.join(QStringLiteral(", ")) + u')');
    }
    Text += QStringLiteral(
        "\n"
        "Exit codes:\n"
        "  0  done (warnings may have been printed)\n"
        "  1  the configuration has errors, or a file is not well-formed (file, line and\n"
        "     column on standard error)\n"
        "  2  wrong usage, or not a configuration folder\n"
        "  3  a file could not be read or written, a project file is no regular file, or\n"
        "     memory ran out (the system's error text on standard error)\n"
        "  4  no device answered (set-name, set-ip, flash, commission, reset-to-factory)\n"
        "Nothing is written when the exit code is not 0: existing bank and GSDML files stay\n"
        "as they were.\n"
        "\n"
        "Messages come in the language chosen in the window (Tavorix.xml beside the program),\n"
        "or in English.\n");
    return Text;
}

QString Version_Text()
{
    return QStringLiteral("%1 %2 - %3\n").arg(Identity::SW_Code, Identity::SW_Version, Identity::SW_Description);
}

bool Is_Command_Line(const QStringList& Arguments_After_Program)
{
    return !Arguments_After_Program.isEmpty() && !Is_Window_System_Option(Arguments_After_Program.first());
}

Start How_To_Start(const QStringList& Arguments_After_Program)
{
    if (!Is_Command_Line(Arguments_After_Program))
        return Start::Window;
    const auto Given = Parse(Arguments_After_Program);
    // Wrong usage and help are told by the command line itself.
    if (!Given || !Given->Command || Given->Help || Given->Version)
        return Start::Command;
    if (Given->Command->Draws)
        return Start::Drawing_Report;
    if (Given->Command->Draws_With_Record && Given->Has(Options::Record))
        return Start::Drawing_Commission_Record;
    return Start::Command;
}

} // namespace Cli
