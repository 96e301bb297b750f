#include "cli/Cli_Dcp.h"

#include "dcp/Dcp_Client.h"
#include "dcp/Dcp_Texts.h"
#include "dcp/Device_List.h"
#include "foundation/Ipv4_Address.h"
#include "foundation/Station_Name.h"
#include "foundation/Workspace.h"
#include "platform/Executable_Dir.h"
#include "platform/Raw_Ethernet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

namespace Cli {

namespace {

enum class Dcp_Command { Discover, Set_Name, Set_Ip, Flash };

// The registry's commands of this kind; it checks their arguments and options.
struct Dcp_Command_Name {
    const char* Name;
    Dcp_Command What;
};
constexpr Dcp_Command_Name Dcp_Commands[] = {
    {"discover", Dcp_Command::Discover},
    {"set-name", Dcp_Command::Set_Name},
    {"set-ip", Dcp_Command::Set_Ip},
    {"flash", Dcp_Command::Flash},
};

constexpr int Min_Timeout_Ms = 10;
constexpr int Max_Timeout_Ms = 64000; // the largest response delay the devices know

struct Dcp_Arguments {
    Dcp_Command What = Dcp_Command::Discover;
    const char* Name = "";
    QString Interface;
    int Timeout_Ms = Default_Timeout_Ms;
    bool Json = false;
    Dcp::Mac_Address Mac{};
    bool Permanent = true;
    QString Station_Name;
    std::optional<Device_Ip_Parameter> Ip; // set-ip: checked once, when read
};

Result<Dcp_Arguments> Parse_Dcp(const Invocation& Given)
{
    const auto Found = std::find_if(std::begin(Dcp_Commands), std::end(Dcp_Commands), [&](const Dcp_Command_Name& C) {
        return Given.Command->Name == QLatin1StringView(C.Name);
    });
    Q_ASSERT(Found != std::end(Dcp_Commands));
    Dcp_Arguments Args;
    Args.What = Found->What;
    Args.Name = Found->Name;
    const QStringList& Positional = Given.Arguments;
    const QString Name = QString::fromLatin1(Found->Name);

    const bool Discover = Args.What == Dcp_Command::Discover;
    Args.Interface = Given.Value(Options::Interface);
    const auto Window_Ms = Answer_Window_Ms(Given, "discover");
    if (!Window_Ms)
        return std::unexpected(Window_Ms.error());
    Args.Timeout_Ms = *Window_Ms;
    Args.Json = Given.Json;
    Args.Permanent = !Given.Has(Options::Temporary);
    if (!Discover) {
        const auto Read = Dcp::Parse_Mac(Given.Value(Options::Mac));
        if (!Read)
            return Usage_Error(
                QStringLiteral("%1: '%2' is not a MAC address (aa:bb:cc:dd:ee:ff)").arg(Name, Given.Value(Options::Mac)));
        // A group, broadcast or all-zero MAC would reach many devices or none: never a target.
        if (const auto Not_Device = Dcp::Not_A_Device_Mac(*Read, Dcp::Mac_Address{}))
            return Usage_Error(QStringLiteral("%1: %2 is %3, not a device").arg(Name, Dcp::Mac_Text(*Read), *Not_Device));
        Args.Mac = *Read;
    }
    if (Args.What == Dcp_Command::Set_Name)
        Args.Station_Name = Positional[0];
    if (Args.What == Dcp_Command::Set_Ip) {
        std::array<Ipv4_Address, 3> Parts;
        const char* const What[] = {"address", "mask", "gateway"};
        for (int I = 0; I < 3; ++I) {
            const auto Read = Parse_Ipv4(Positional[I]);
            if (!Read)
                return Usage_Error(QStringLiteral("set-ip: the %1 '%2' is not an IPv4 address (four numbers 0 to 255)")
                                      .arg(QLatin1String(What[I]), Positional[I]));
            Parts[I] = *Read;
        }
        const auto Checked = Device_Ip_Parameter::Checked(Parts[0], Parts[1], Parts[2]);
        if (!Checked)
            return Usage_Error(QStringLiteral("set-ip: address %1 mask %2 gateway %3 cannot be given to a device: %4")
                                   .arg(Parts[0].Text(), Parts[1].Text(), Parts[2].Text(), Ip_Suite_Rule_Text(Checked.error())));
        Args.Ip = *Checked;
    }
    return Args;
}


Result<std::unique_ptr<Raw_Ethernet_Port>> Open_Port(Raw_Ethernet& Ethernet, const QString& Interface)
{
    auto Port = Ethernet.Open(Interface);
    if (!Port)
        return Failure(File_Error, Port.error().Text);
    return std::move(*Port);
}

Result<Exit_Code> Discover(const Dcp_Arguments& Args, Raw_Ethernet& Ethernet, QTextStream& Out, QTextStream& Err)
{
    QStringList Names;
    if (!Args.Interface.isEmpty()) {
        Names.append(Args.Interface);
    } else {
        const auto All = Ethernet.Interfaces();
        if (!All)
            return Failure(File_Error, All.error().Text);
        for (const Ethernet_Interface& I : *All)
            if (I.Up)
                Names.append(I.Name);
        if (Names.isEmpty())
            return Failure(File_Error, QStringLiteral("discover: no Ethernet interface is up"));
    }
    QJsonArray Documents;
    int Opened = 0;
    for (const QString& Name : Names) {
        auto Port = Ethernet.Open(Name);
        if (!Port) {
            // One interface the process may not open is said, never passed over as empty.
            Err << "sw40610: " << Port.error().Text << '\n';
            if (Port.error().Lacks_Rights || !Args.Interface.isEmpty())
                return Failure(File_Error, QStringLiteral("discover: %1 cannot be searched").arg(Name));
            continue;
        }
        ++Opened;
        Dcp::Client Client(**Port);
        auto Found = Client.Search(std::chrono::milliseconds(Args.Timeout_Ms));
        if (!Found)
            return Failure(File_Error, QStringLiteral("%1: %2").arg(Name, Found.error()));
        Dcp::Sort_Devices(Found->Devices);
        // Answers passed over are said, never dropped in silence.
        if (Found->Malformed > 0)
            Err << QStringLiteral("sw40610: %1: %2 malformed answer(s) ignored, the first %3\n")
                       .arg(Name)
                       .arg(Found->Malformed)
                       .arg(Found->First_Malformed);
        if (Args.Json) {
            Documents.append(Dcp::Devices_Json(Name, *Found));
            continue;
        }
        const Dcp::Duplicates Shared = Dcp::Find_Duplicates(Found->Devices);
        for (const Dcp::Device_Record& D : Found->Devices)
            Out << Name << "  " << Dcp::Device_Line(D, Shared) << '\n';
        Out << QStringLiteral("%1: %2 device(s) answered").arg(Name).arg(Found->Devices.size());
        if (Found->Dropped > 0)
            Out << QStringLiteral("; %1 answer(s) of further devices dropped (at most %2 devices are kept)")
                       .arg(Found->Dropped)
                       .arg(Dcp::Max_Devices);
        Out << '\n';
    }
    if (Opened == 0)
        return Failure(File_Error, QStringLiteral("discover: no interface could be opened"));
    if (Args.Json) {
        // One interface asked: its document; every interface: a list of them.
        const QJsonDocument Document = Args.Interface.isEmpty() ? QJsonDocument(Documents)
                                                                : QJsonDocument(Documents.first().toObject());
        Out << QString::fromUtf8(Document.toJson(QJsonDocument::Indented));
    }
    return Done;
}

Result<Exit_Code> Set_Or_Signal(const Dcp_Arguments& Args, Raw_Ethernet& Ethernet, QTextStream& Out)
{
    // The name is checked before the interface is even opened.
    std::optional<::Station_Name> Name;
    if (Args.What == Dcp_Command::Set_Name) {
        const auto Checked = ::Station_Name::Checked(Args.Station_Name);
        if (!Checked)
            return Failure(Configuration_Errors, QStringLiteral("set-name: '%1' is not a valid station name: %2")
                                                     .arg(Args.Station_Name, Station_Name_Rule_Text(Checked.error())));
        Name = *Checked;
    }
    const auto Port = Open_Port(Ethernet, Args.Interface);
    if (!Port)
        return std::unexpected(Port.error());
    Dcp::Client Client(**Port);
    std::expected<Dcp::Set_Response, Dcp::Set_Failure> Answer;
    QString Done_Text;
    const QString Kind = Args.Permanent ? QStringLiteral("permanent") : QStringLiteral("temporary");
    switch (Args.What) {
    case Dcp_Command::Set_Name:
        Answer = Client.Set_Name(Args.Mac, *Name, Args.Permanent);
        Done_Text = QStringLiteral("station name set to \"%1\" (%2)").arg(Args.Station_Name, Kind);
        break;
    case Dcp_Command::Set_Ip:
        Answer = Client.Set_Ip(Args.Mac, *Args.Ip, Args.Permanent);
        Done_Text = QStringLiteral("IP parameter set to %1 mask %2 gateway %3 (%4)")
                        .arg(Args.Ip->Address().Text(), Args.Ip->Mask().Text(), Args.Ip->Gateway().Text(), Kind);
        break;
    case Dcp_Command::Flash:
        Answer = Client.Signal(Args.Mac);
        Done_Text = QStringLiteral("flashing its LED");
        break;
    case Dcp_Command::Discover: break;
    }
    const QString Mac = Dcp::Mac_Text(Args.Mac);
    if (!Answer) {
        switch (Answer.error().What) {
        // The name and the IP parameter were checked above and handed over
        // checked: of what is refused before sending, only the target is left.
        case Dcp::Set_Failure::Invalid_Name:
        case Dcp::Set_Failure::Invalid_Ip:
        case Dcp::Set_Failure::Invalid_Target:
            return Failure(Wrong_Usage, QStringLiteral("%1: %2").arg(QLatin1String(Args.Name), Answer.error().Text));
        case Dcp::Set_Failure::Invalid_Answer:
            return Failure(No_Device_Answered, QStringLiteral("%1: no valid answer from device %2 on %3: %4")
                                                      .arg(QLatin1String(Args.Name), Mac, Args.Interface, Answer.error().Text));
        case Dcp::Set_Failure::Not_Sent: return Failure(File_Error, Answer.error().Text);
        case Dcp::Set_Failure::No_Answer:
        case Dcp::Set_Failure::Cancelled: // the command line asks for no stop
            return Failure(No_Device_Answered,
                           QStringLiteral("%1: no device %2 answered on %3").arg(QLatin1String(Args.Name), Mac, Args.Interface));
        }
    }
    if (const quint8 Error = Answer->First_Error(); Error != 0) {
        // The device's reason in the language the window was left in.
        Workspace Space(Executable_Dir());
        Space.Read_Settings();
        Space.Init_Language();
        return Failure(Configuration_Errors, QStringLiteral("%1: device %2 refused: %3")
                                                 .arg(QLatin1String(Args.Name), Mac, Dcp::Block_Error_Text(Space.Lang_Strings, Error)));
    }
    Out << Mac << ": " << Done_Text << '\n';
    return Done;
}

} // namespace

Result<int> Answer_Window_Ms(const Invocation& Given, const char* Command)
{
    if (!Given.Has(Options::Timeout))
        return Default_Timeout_Ms;
    bool Ok = false;
    const int Ms = Given.Value(Options::Timeout).toInt(&Ok);
    if (!Ok || Ms < Min_Timeout_Ms || Ms > Max_Timeout_Ms)
        return Usage_Error(QStringLiteral("%1: --timeout must be a number of milliseconds from %2 to %3")
                               .arg(QLatin1StringView(Command))
                               .arg(Min_Timeout_Ms)
                               .arg(Max_Timeout_Ms));
    return Ms;
}

Result<Exit_Code> Run_Dcp(const Invocation& Given, Raw_Ethernet& Ethernet, QTextStream& Out, QTextStream& Err)
{
    const Result<Dcp_Arguments> Args = Parse_Dcp(Given);
    if (!Args)
        return std::unexpected(Args.error());
    if (Args->What == Dcp_Command::Discover)
        return Discover(*Args, Ethernet, Out, Err);
    return Set_Or_Signal(*Args, Ethernet, Out);
}

} // namespace Cli
