#include "cli/Cli_Dcp.h"

#include "cli/Cli_Arguments.h"
#include "dcp/Dcp_Client.h"
#include "dcp/Dcp_Texts.h"
#include "dcp/Device_List.h"
#include "foundation/Ipv4_Address.h"
#include "foundation/Station_Name.h"
#include "foundation/Workspace.h"
#include "platform/Executable_Dir.h"
#include "platform/Raw_Ethernet.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

namespace Cli {

namespace {

enum class Dcp_Command { Discover, Set_Name, Set_Ip, Flash };

struct Dcp_Command_Name {
    const char* Name;
    Dcp_Command What;
    int Positional; // arguments after the command
};
constexpr Dcp_Command_Name Dcp_Commands[] = {
    {"discover", Dcp_Command::Discover, 0},
    {"set-name", Dcp_Command::Set_Name, 1},
    {"set-ip", Dcp_Command::Set_Ip, 3},
    {"flash", Dcp_Command::Flash, 0},
};

constexpr int Default_Timeout_Ms = 1000;
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

struct Usage_Error {
    QString Text;
};

Dcp_Arguments Parse_Dcp(const QStringList& Arguments)
{
    QCommandLineParser Parser;
    const QCommandLineOption Interface(QStringLiteral("interface"), {}, QStringLiteral("IF"));
    const QCommandLineOption Timeout(QStringLiteral("timeout"), {}, QStringLiteral("MS"));
    const QCommandLineOption Json(QStringLiteral("json"), {});
    const QCommandLineOption Mac(QStringLiteral("mac"), {}, QStringLiteral("MAC"));
    const QCommandLineOption Temporary(QStringLiteral("temporary"), {});
    Parser.addOptions({Interface, Timeout, Json, Mac, Temporary});
    if (!Parser.parse(QStringList{QStringLiteral("sw40610")} + Arguments))
        throw Usage_Error{Parser.errorText()};
    QStringList Positional = Parser.positionalArguments();
    const auto Found = std::find_if(std::begin(Dcp_Commands), std::end(Dcp_Commands), [&](const Dcp_Command_Name& C) {
        return !Positional.isEmpty() && Positional.first() == QLatin1StringView(C.Name);
    });
    Q_ASSERT(Found != std::end(Dcp_Commands));
    Dcp_Arguments Args;
    Args.What = Found->What;
    Args.Name = Found->Name;
    Positional.removeFirst();
    const QString Name = QString::fromLatin1(Found->Name);
    if (Positional.size() != Found->Positional)
        throw Usage_Error{Found->Positional == 0 || Positional.size() > Found->Positional
                              ? QStringLiteral("%1: unexpected argument '%2'").arg(Name, Positional.value(Found->Positional))
                              : QStringLiteral("%1: %2 argument(s) expected").arg(Name).arg(Found->Positional)};

    const bool Discover = Args.What == Dcp_Command::Discover;
    const auto Refuse = [&](const QCommandLineOption& Opt, bool Applies) {
        if (Parser.isSet(Opt) && !Applies)
            throw Usage_Error{QStringLiteral("%1: option --%2 does not apply").arg(Name, Opt.names().first())};
    };
    Refuse(Timeout, Discover);
    Refuse(Json, Discover);
    Refuse(Mac, !Discover);
    Refuse(Temporary, Args.What == Dcp_Command::Set_Name || Args.What == Dcp_Command::Set_Ip);

    if (Parser.isSet(Interface)) {
        Args.Interface = Parser.value(Interface);
        if (Args.Interface.isEmpty())
            throw Usage_Error{QStringLiteral("%1: --interface needs a name").arg(Name)};
    } else if (!Discover) {
        throw Usage_Error{QStringLiteral("%1: --interface IF is required").arg(Name)};
    }
    if (Parser.isSet(Timeout)) {
        bool Ok = false;
        Args.Timeout_Ms = Parser.value(Timeout).toInt(&Ok);
        if (!Ok || Args.Timeout_Ms < Min_Timeout_Ms || Args.Timeout_Ms > Max_Timeout_Ms)
            throw Usage_Error{QStringLiteral("discover: --timeout must be a number of milliseconds from %1 to %2")
                                  .arg(Min_Timeout_Ms)
                                  .arg(Max_Timeout_Ms)};
    }
    Args.Json = Parser.isSet(Json);
    Args.Permanent = !Parser.isSet(Temporary);
    if (!Discover) {
        if (!Parser.isSet(Mac))
            throw Usage_Error{QStringLiteral("%1: --mac MAC is required").arg(Name)};
        const auto Read = Dcp::Parse_Mac(Parser.value(Mac));
        if (!Read)
            throw Usage_Error{QStringLiteral("%1: '%2' is not a MAC address (aa:bb:cc:dd:ee:ff)").arg(Name, Parser.value(Mac))};
        // A group, broadcast or all-zero MAC would reach many devices or none: never a target.
        if (const auto Not_Device = Dcp::Not_A_Device_Mac(*Read, Dcp::Mac_Address{}))
            throw Usage_Error{QStringLiteral("%1: %2 is %3, not a device").arg(Name, Dcp::Mac_Text(*Read), *Not_Device)};
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
                throw Usage_Error{QStringLiteral("set-ip: the %1 '%2' is not an IPv4 address (four numbers 0 to 255)")
                                      .arg(QLatin1String(What[I]), Positional[I])};
            Parts[I] = *Read;
        }
        const auto Checked = Device_Ip_Parameter::Checked(Parts[0], Parts[1], Parts[2]);
        if (!Checked)
            throw Usage_Error{QStringLiteral("set-ip: address %1 mask %2 gateway %3 cannot be given to a device: %4")
                                  .arg(Parts[0].Text(), Parts[1].Text(), Parts[2].Text(), Ip_Suite_Rule_Text(Checked.error()))};
        Args.Ip = *Checked;
    }
    return Args;
}

struct Dcp_Failure {
    int Code;
    QString Text;
};

std::unique_ptr<Raw_Ethernet_Port> Open_Port(Raw_Ethernet& Ethernet, const QString& Interface)
{
    auto Port = Ethernet.Open(Interface);
    if (!Port)
        throw Dcp_Failure{File_Error, Port.error().Text};
    return std::move(*Port);
}

int Discover(const Dcp_Arguments& Args, Raw_Ethernet& Ethernet, QTextStream& Out, QTextStream& Err)
{
    QStringList Names;
    if (!Args.Interface.isEmpty()) {
        Names.append(Args.Interface);
    } else {
        const auto All = Ethernet.Interfaces();
        if (!All)
            throw Dcp_Failure{File_Error, All.error().Text};
        for (const Ethernet_Interface& I : *All)
            if (I.Up)
                Names.append(I.Name);
        if (Names.isEmpty())
            throw Dcp_Failure{File_Error, QStringLiteral("discover: no Ethernet interface is up")};
    }
    QJsonArray Documents;
    int Opened = 0;
    for (const QString& Name : Names) {
        auto Port = Ethernet.Open(Name);
        if (!Port) {
            // One interface the process may not open is said, never passed over as empty.
            Err << "sw40610: " << Port.error().Text << '\n';
            if (Port.error().Lacks_Rights || !Args.Interface.isEmpty())
                throw Dcp_Failure{File_Error, QStringLiteral("discover: %1 cannot be searched").arg(Name)};
            continue;
        }
        ++Opened;
        Dcp::Client Client(**Port);
        auto Found = Client.Search(std::chrono::milliseconds(Args.Timeout_Ms));
        if (!Found)
            throw Dcp_Failure{File_Error, QStringLiteral("%1: %2").arg(Name, Found.error())};
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
        throw Dcp_Failure{File_Error, QStringLiteral("discover: no interface could be opened")};
    if (Args.Json) {
        // One interface asked: its document; every interface: a list of them.
        const QJsonDocument Document = Args.Interface.isEmpty() ? QJsonDocument(Documents)
                                                                : QJsonDocument(Documents.first().toObject());
        Out << QString::fromUtf8(Document.toJson(QJsonDocument::Indented));
    }
    return Done;
}

int Set_Or_Signal(const Dcp_Arguments& Args, Raw_Ethernet& Ethernet, QTextStream& Out)
{
    // The name is checked before the interface is even opened.
    std::optional<::Station_Name> Name;
    if (Args.What == Dcp_Command::Set_Name) {
        const auto Checked = ::Station_Name::Checked(Args.Station_Name);
        if (!Checked)
            throw Dcp_Failure{Configuration_Errors, QStringLiteral("set-name: '%1' is not a valid station name: %2")
                                                        .arg(Args.Station_Name, Station_Name_Rule_Text(Checked.error()))};
        Name = *Checked;
    }
    const auto Port = Open_Port(Ethernet, Args.Interface);
    Dcp::Client Client(*Port);
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
            throw Dcp_Failure{Wrong_Usage, QStringLiteral("%1: %2").arg(QLatin1String(Args.Name), Answer.error().Text)};
        case Dcp::Set_Failure::Invalid_Answer:
            throw Dcp_Failure{No_Device_Answered, QStringLiteral("%1: no valid answer from device %2 on %3: %4")
                                                      .arg(QLatin1String(Args.Name), Mac, Args.Interface, Answer.error().Text)};
        case Dcp::Set_Failure::Not_Sent: throw Dcp_Failure{File_Error, Answer.error().Text};
        case Dcp::Set_Failure::No_Answer:
        case Dcp::Set_Failure::Cancelled: // the command line asks for no stop
            throw Dcp_Failure{No_Device_Answered,
                              QStringLiteral("%1: no device %2 answered on %3").arg(QLatin1String(Args.Name), Mac, Args.Interface)};
        }
    }
    if (const quint8 Error = Answer->First_Error(); Error != 0) {
        // The device's reason in the language the window was left in.
        Workspace Space(Executable_Dir());
        Space.Read_Settings();
        Space.Init_Language();
        throw Dcp_Failure{Configuration_Errors, QStringLiteral("%1: device %2 refused: %3")
                                                    .arg(QLatin1String(Args.Name), Mac, Dcp::Block_Error_Text(Space.Lang_Strings, Error))};
    }
    Out << Mac << ": " << Done_Text << '\n';
    return Done;
}

} // namespace

bool Is_Dcp_Command(const QStringList& Arguments)
{
    // The command is the first argument that is not an option or an option's value.
    for (qsizetype I = 0; I < Arguments.size(); ++I) {
        const QString& A = Arguments[I];
        if (A == QLatin1String("--interface") || A == QLatin1String("--timeout") || A == QLatin1String("--mac")) {
            ++I;
            continue;
        }
        if (A.startsWith(QLatin1Char('-')))
            continue;
        return std::any_of(std::begin(Dcp_Commands), std::end(Dcp_Commands),
                           [&](const Dcp_Command_Name& C) { return A == QLatin1StringView(C.Name); });
    }
    return false;
}

int Run_Dcp(const QStringList& Arguments, Raw_Ethernet& Ethernet, QTextStream& Out, QTextStream& Err)
{
    try {
        const Dcp_Arguments Args = Parse_Dcp(Arguments);
        if (Args.What == Dcp_Command::Discover)
            return Discover(Args, Ethernet, Out, Err);
        return Set_Or_Signal(Args, Ethernet, Out);
    } catch (const Usage_Error& E) {
        Err << "sw40610: " << E.Text << "\nTry 'sw40610 --help'.\n";
        return Wrong_Usage;
    } catch (const Dcp_Failure& F) {
        Err << "sw40610: " << F.Text << '\n';
        return F.Code;
    }
}

QString Dcp_Help_Text()
{
    return QStringLiteral(
        "\n"
        "Devices on the network (PROFINET DCP, raw Ethernet; no configuration folder):\n"
        "  discover [--interface IF] [--timeout MS] [--json]\n"
        "                              list the PROFINET devices that answer on IF (default: every\n"
        "                              Ethernet interface that is up) within MS milliseconds\n"
        "                              (default 1000); gateways of this type are marked gw40610.\n"
        "                              Control characters in a device's texts are written as\n"
        "                              escapes (\\n, \\x1b). At most 2048 devices are kept; further\n"
        "                              answers are counted as dropped, unreadable ones as malformed\n"
        "                              (on standard error).\n"
        "                              --json: {\"interface\": IF, \"devices\": [...], \"dropped\": N,\n"
        "                              \"malformed\": N}, or a list of these when no interface is named\n"
        "  set-name --interface IF --mac MAC NAME [--temporary]\n"
        "                              give the device its PROFINET station name\n"
        "  set-ip --interface IF --mac MAC ADDRESS MASK GATEWAY [--temporary]\n"
        "                              give the device its IP address, subnet mask and gateway\n"
        "  flash --interface IF --mac MAC\n"
        "                              let the device flash its LED\n"
        "  A value set without --temporary is kept by the device through a restart.\n"
        "  These commands need the right to send raw Ethernet frames: on Linux run\n"
        "  'sudo setcap cap_net_raw,cap_net_admin+eip' on the program once (or run it as\n"
        "  root); on Windows install Npcap. Exit codes as above; 1 also when the device\n"
        "  refused or the name breaks a station-name rule, 2 for a MAC that is no single\n"
        "  device's (group, broadcast, all zeros, the interface's own) and an address no\n"
        "  device may hold, 3 when the interface cannot be opened, 4 when no device\n"
        "  answered a set-name, set-ip or flash with the answer to what was sent.\n");
}

} // namespace Cli
