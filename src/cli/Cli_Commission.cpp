#include "cli/Cli_Commission.h"

#include "cli/Cli_Arguments.h"
#include "cli/Cli_Dcp.h"
#include "commission/Configuration_Steps.h"
#include "dcp/Dcp_Station.h"
#include "dcp/Dcp_Texts.h"
#include "foundation/Workspace.h"
#include "platform/Clock.h"
#include "platform/Decimal_Separator.h"
#include "platform/Executable_Dir.h"
#include "platform/Process_Runner.h"
#include "platform/Raw_Ethernet.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

#include <atomic>
#include <csignal>

namespace Cli {

namespace {

constexpr int Default_Timeout_Ms = 1000;
constexpr int Min_Timeout_Ms = 10;
constexpr int Max_Timeout_Ms = 64000;

// Set by Ctrl+C while a run goes on: a signal handler may touch nothing else.
std::atomic_bool Interrupted{false};
extern "C" void On_Interrupt(int) { Interrupted.store(true); }

// Ctrl+C ends the run after the current gateway for as long as this lives.
class Interrupt_Guard {
public:
    Interrupt_Guard()
    {
        Interrupted.store(false);
        Previous = std::signal(SIGINT, On_Interrupt);
    }
    ~Interrupt_Guard() { std::signal(SIGINT, Previous); }
    Interrupt_Guard(const Interrupt_Guard&) = delete;
    Interrupt_Guard& operator=(const Interrupt_Guard&) = delete;

private:
    void (*Previous)(int) = SIG_DFL;
};

struct Usage_Error {
    QString Text;
};

struct Commission_Arguments {
    bool Reset = false;
    QString List;
    QString Interface;
    bool Update = false;
    bool Dry_Run = false;
    bool Json = false;
    QString Record;
    int Timeout_Ms = Default_Timeout_Ms;
    Dcp::Mac_Address Mac{};
};

Commission_Arguments Parse_Commission(const QStringList& Arguments)
{
    QCommandLineParser Parser;
    const QCommandLineOption Interface(QStringLiteral("interface"), {}, QStringLiteral("IF"));
    const QCommandLineOption Update(QStringLiteral("update"), {});
    const QCommandLineOption Dry_Run(QStringLiteral("dry-run"), {});
    const QCommandLineOption Json(QStringLiteral("json"), {});
    const QCommandLineOption Record(QStringLiteral("record"), {}, QStringLiteral("FILE"));
    const QCommandLineOption Timeout(QStringLiteral("timeout"), {}, QStringLiteral("MS"));
    const QCommandLineOption Mac(QStringLiteral("mac"), {}, QStringLiteral("MAC"));
    Parser.addOptions({Interface, Update, Dry_Run, Json, Record, Timeout, Mac});
    if (!Parser.parse(QStringList{QStringLiteral("sw40610")} + Arguments))
        throw Usage_Error{Parser.errorText()};
    QStringList Positional = Parser.positionalArguments();
    Commission_Arguments Args;
    Args.Reset = Positional.value(0) == QLatin1String("reset-to-factory");
    const QString Name = Args.Reset ? QStringLiteral("reset-to-factory") : QStringLiteral("commission");
    Positional.removeFirst();
    const auto Refuse = [&](const QCommandLineOption& Opt, bool Applies) {
        if (Parser.isSet(Opt) && !Applies)
            throw Usage_Error{QStringLiteral("%1: option --%2 does not apply").arg(Name, Opt.names().first())};
    };
    for (const QCommandLineOption* Opt : {&Update, &Dry_Run, &Json, &Record, &Timeout})
        Refuse(*Opt, !Args.Reset);
    Refuse(Mac, Args.Reset);
    if (!Parser.isSet(Interface) || Parser.value(Interface).isEmpty())
        throw Usage_Error{QStringLiteral("%1: --interface IF is required").arg(Name)};
    Args.Interface = Parser.value(Interface);
    if (Args.Reset) {
        if (!Positional.isEmpty())
            throw Usage_Error{QStringLiteral("reset-to-factory: unexpected argument '%1'").arg(Positional.first())};
        if (!Parser.isSet(Mac))
            throw Usage_Error{QStringLiteral("reset-to-factory: --mac MAC is required")};
        const auto Read = Dcp::Parse_Mac(Parser.value(Mac));
        if (!Read)
            throw Usage_Error{QStringLiteral("reset-to-factory: '%1' is not a MAC address (aa:bb:cc:dd:ee:ff)").arg(Parser.value(Mac))};
        Args.Mac = *Read;
        return Args;
    }
    if (Positional.size() != 1)
        throw Usage_Error{Positional.isEmpty() ? QStringLiteral("commission: the plant list PLANT.csv is needed")
                                               : QStringLiteral("commission: unexpected argument '%1'").arg(Positional[1])};
    Args.List = Positional.first();
    Args.Update = Parser.isSet(Update);
    Args.Dry_Run = Parser.isSet(Dry_Run);
    Args.Json = Parser.isSet(Json);
    Args.Record = Parser.value(Record);
    if (Parser.isSet(Record) && Args.Record.isEmpty())
        throw Usage_Error{QStringLiteral("commission: --record needs a file name")};
    if (Parser.isSet(Timeout)) {
        bool Ok = false;
        Args.Timeout_Ms = Parser.value(Timeout).toInt(&Ok);
        if (!Ok || Args.Timeout_Ms < Min_Timeout_Ms || Args.Timeout_Ms > Max_Timeout_Ms)
            throw Usage_Error{QStringLiteral("commission: --timeout must be a number of milliseconds from %1 to %2")
                                  .arg(Min_Timeout_Ms)
                                  .arg(Max_Timeout_Ms)};
    }
    return Args;
}

int Reset_To_Factory(const Commission_Arguments& Args, Raw_Ethernet& Ethernet, QTextStream& Out, QTextStream& Err)
{
    auto Port = Ethernet.Open(Args.Interface);
    if (!Port) {
        Err << "sw40610: " << Port.error().Text << '\n';
        return File_Error;
    }
    Dcp::Station_Asker Asker(**Port);
    const QString Mac = Dcp::Mac_Text(Args.Mac);
    const auto Answer = Asker.Reset_To_Factory(Args.Mac);
    if (!Answer) {
        if (Answer.error().What == Dcp::Set_Failure::No_Answer) {
            Err << "sw40610: reset-to-factory: no device " << Mac << " answered on " << Args.Interface << '\n';
            return No_Device_Answered;
        }
        Err << "sw40610: " << Answer.error().Text << '\n';
        return File_Error;
    }
    if (const quint8 Error = Answer->First_Error(); Error != 0) {
        // The device's reason in the language the window was left in.
        Workspace Space(Executable_Dir());
        Space.Read_Settings();
        Space.Init_Language();
        Err << "sw40610: reset-to-factory: device " << Mac << " refused: " << Dcp::Block_Error_Text(Space.Lang_Strings, Error)
            << '\n';
        return Configuration_Errors;
    }
    Out << Mac << ": reset to factory settings (station name and IP parameter forgotten)\n";
    return Done;
}

int Commission_Plant(const Commission_Arguments& Args, const QString& Exe_Dir, Raw_Ethernet& Ethernet, QTextStream& Out,
                     QTextStream& Err, const Commission::Record_Writer& Write_Record)
{
    if (!Args.Record.isEmpty() && !Write_Record) {
        Err << "sw40610: " << QDir::toNativeSeparators(Args.Record) << ": the record cannot be drawn here\n";
        return File_Error;
    }
    Workspace Space(Exe_Dir);
    Space.Read_Settings();
    Space.Set_Identity();
    Space.Init_Language();
    System_Decimal_Separator Separator;

    const QString List_Path = QFileInfo(Args.List).absoluteFilePath();
    const auto List = Commission::Read_Plant_List_File(List_Path, Space.Projects_Dir,
                                                       Commission::Checked_Configurations(Space, Separator));
    if (!List) {
        Err << "sw40610: " << List.error() << '\n';
        return File_Error;
    }
    if (!List->Problems.isEmpty()) {
        for (const Commission::List_Problem& P : List->Problems)
            Err << Commission::Problem_Line(Args.List, P) << '\n';
        Err << "sw40610: commission: the list has " << List->Problems.size() << " problem(s); nothing was sent\n";
        return Configuration_Errors;
    }

    auto Port = Ethernet.Open(Args.Interface);
    if (!Port) {
        Err << "sw40610: " << Port.error().Text << '\n';
        return File_Error;
    }
    Commission::Run_Settings Settings;
    Settings.Interface = Args.Interface;
    Settings.Update = Args.Update;
    Settings.Dry_Run = Args.Dry_Run;
    Settings.Identify_Window = std::chrono::milliseconds(Args.Timeout_Ms);
    Settings.State_File = Commission::State_File_Of(List_Path);
    Settings.Texts = &Space.Lang_Strings;
    Qt_Process_Runner Runner;
    System_Clock Time;
    Commission::Run Plant(*List, **Port, Settings, Commission::Real_Configuration_Steps(Space, Separator, Runner, Time));
    if (!Args.Json)
        Plant.Gateway_Finished = [&](int Row, const Commission::Gateway_Outcome& Outcome) {
            Out << Commission::Outcome_Line(List->Rows[Row], Outcome) << '\n';
            Out.flush();
        };
    Commission::Run_Report Report;
    {
        const Interrupt_Guard Guard;
        Report = Plant.Execute(Interrupted);
    }
    if (!Report.Failure.isEmpty()) {
        Err << "sw40610: " << Args.Interface << ": " << Report.Failure << '\n';
        return File_Error;
    }
    if (Args.Json) {
        Out << QString::fromUtf8(QJsonDocument(Commission::Report_Json(*List, Settings, Report)).toJson(QJsonDocument::Indented));
    } else {
        for (const Dcp::Device_Record& D : Report.Not_Listed)
            Out << Dcp::Mac_Text(D.Mac) << "  " << D.Name.value_or(QString()) << "  "
                << (D.Ip ? D.Ip->Address.Text() : QString()) << "  not-listed: not on the list, not changed\n";
        if (Report.Stopped)
            Out << "stopped: the gateways after the last one above were not done\n";
    }
    int Code = Done;
    if (Report.Devices_Answered == 0) {
        Err << "sw40610: commission: no device answered on " << Args.Interface << '\n';
        Code = No_Device_Answered;
    } else if (Report.Stopped || std::any_of(Report.Outcomes.begin(), Report.Outcomes.end(), [](const Commission::Gateway_Outcome& O) {
                   return !Commission::Is_Success(O.State);
               })) {
        Code = Configuration_Errors;
    }
    if (!Report.State_Failure.isEmpty()) {
        Err << "sw40610: " << Report.State_Failure << '\n';
        Code = File_Error;
    }
    if (!Args.Record.isEmpty()) {
        if (const auto Written = Write_Record(Commission::Make_Record(*List, Settings, Report), QFileInfo(Args.Record).absoluteFilePath());
            !Written) {
            Err << "sw40610: " << Written.error() << '\n';
            return File_Error;
        }
    }
    return Code;
}

} // namespace

bool Is_Commission_Command(const QStringList& Arguments)
{
    const QString First = Arguments.value(0);
    return First == QLatin1String("commission") || First == QLatin1String("reset-to-factory");
}

bool Wants_Commission_Record(const QStringList& Arguments)
{
    return Arguments.value(0) == QLatin1String("commission")
           && std::any_of(Arguments.begin(), Arguments.end(), [](const QString& A) {
                  return A == QLatin1String("--record") || A.startsWith(QLatin1String("--record="));
              });
}

int Run_Commission(const QStringList& Arguments, const QString& Exe_Dir, Raw_Ethernet& Ethernet, QTextStream& Out,
                   QTextStream& Err, const Commission::Record_Writer& Write_Record)
{
    try {
        const Commission_Arguments Args = Parse_Commission(Arguments);
        if (Args.Reset)
            return Reset_To_Factory(Args, Ethernet, Out, Err);
        return Commission_Plant(Args, Exe_Dir, Ethernet, Out, Err, Write_Record);
    } catch (const Usage_Error& E) {
        Err << "sw40610: " << E.Text << "\nTry 'sw40610 --help'.\n";
        return Wrong_Usage;
    }
}

QString Commission_Help_Text()
{
    return QStringLiteral(
        "\n"
        "Commissioning a plant (PROFINET DCP on raw Ethernet):\n"
        "  commission PLANT.csv --interface IF [--update] [--dry-run] [--json] [--record FILE.pdf]\n"
        "             [--timeout MS]\n"
        "                              name and address every gateway of the plant list\n"
        "                              (mac,station_name,ip,mask,gateway,configuration; ',' or ';')\n"
        "                              after one search of MS milliseconds (default 1000): what\n"
        "                              already holds is left alone, the rest is set permanently and\n"
        "                              checked by an Identify of the new name; each configuration is\n"
        "                              compiled, and with --update sent to its gateway by the updater.\n"
        "                              --dry-run searches and says what would be done, sending no Set;\n"
        "                              --json one document; --record writes the commissioning record.\n"
        "                              The state is kept in PLANT.csv.state.json after every gateway;\n"
        "                              Ctrl+C stops after the current gateway, and a second run goes\n"
        "                              on without sending anything to gateways already right.\n"
        "                              Exit 0 every gateway done or already right, 1 any not (or the\n"
        "                              list has problems, each given as FILE:LINE:COLUMN), 2 wrong\n"
        "                              usage, 3 a file could not be read or written, 4 no device\n"
        "                              answered at all\n"
        "  reset-to-factory --interface IF --mac MAC\n"
        "                              DESTRUCTIVE, asks nothing: the device forgets its station name\n"
        "                              and IP parameter (DCP ResetToFactory); exit 0 done, 1 refused,\n"
        "                              3 interface unusable, 4 no answer\n");
}

} // namespace Cli
