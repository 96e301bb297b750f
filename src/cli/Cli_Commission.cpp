#include "cli/Cli_Commission.h"
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

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

#include <atomic>
#include <csignal>

namespace Cli {

namespace {

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

Result<Commission_Arguments> Parse_Commission(const Invocation& Given)
{
    Commission_Arguments Args;
    Args.Reset = Given.Command->Name == QLatin1String("reset-to-factory");
    Args.Interface = Given.Value(Options::Interface);
    if (Args.Reset) {
        const auto Read = Dcp::Parse_Mac(Given.Value(Options::Mac));
        if (!Read)
            return Usage_Error(QStringLiteral("reset-to-factory: '%1' is not a MAC address (aa:bb:cc:dd:ee:ff)")
                                   .arg(Given.Value(Options::Mac)));
        Args.Mac = *Read;
        return Args;
    }
    Args.List = Given.Arguments.first();
    Args.Update = Given.Has(Options::Update);
    Args.Dry_Run = Given.Has(Options::Dry_Run);
    Args.Json = Given.Json;
    Args.Record = Given.Value(Options::Record);
    const auto Window_Ms = Answer_Window_Ms(Given, "commission");
    if (!Window_Ms)
        return std::unexpected(Window_Ms.error());
    Args.Timeout_Ms = *Window_Ms;
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

Result<Exit_Code> Run_Commission(const Invocation& Given, const QString& Exe_Dir, Raw_Ethernet& Ethernet,
                                 QTextStream& Out, QTextStream& Err, const Commission::Record_Writer& Write_Record)
{
    const Result<Commission_Arguments> Args = Parse_Commission(Given);
    if (!Args)
        return std::unexpected(Args.error());
    if (Args->Reset)
        return static_cast<Exit_Code>(Reset_To_Factory(*Args, Ethernet, Out, Err));
    return static_cast<Exit_Code>(Commission_Plant(*Args, Exe_Dir, Ethernet, Out, Err, Write_Record));
}

} // namespace Cli
