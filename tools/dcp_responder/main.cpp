// A hostile PROFINET DCP responder for tests and benchmarks: on one end of a
// veth pair in a network namespace of their own it answers the configurator
// the way an attacker on the segment may.
//
//   dcp_responder --interface IF [--flood N] [--name-bytes B] [--frame-bytes F]
//                 [--hostile] [--set-answer exact|wrong-option|other-source|group-source]
//                 [--idle-ms MS] [--max-ms MS]
//
// --flood N      answers every search N times, each from another MAC, spread
//                over the answer window the search asked for; the station
//                names are distinct, of B bytes (default 20), and a filler
//                block brings each frame to F bytes (default: no filler).
// --hostile      answers every search with a device whose name and vendor
//                hold control characters, answers from a group, the
//                broadcast, the all-zero and the searcher's own MAC, and an
//                answer whose block claims more bytes than there are.
// --set-answer   answers a Set: exact (a result for the block asked),
//                wrong-option (a result "done" for option 1/2 whatever was
//                asked), other-source (from another MAC), group-source (from
//                a group MAC); without it a Set is not answered.
// Prints "READY" once listening, "SEARCH xid" for each search, "SET mac
// option/suboption" for each Set it sees and "SENT n" at the end.

#include "dcp/Dcp_Frames.h"
#include "platform/Raw_Ethernet.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <thread>

using namespace Dcp;
using Clock = std::chrono::steady_clock;

namespace {

constexpr Mac_Address Hostile_Device{0x02, 0x66, 0x00, 0x00, 0x00, 0x01};
constexpr Mac_Address Lying_Device{0x02, 0x66, 0x00, 0x00, 0x00, 0x02};
constexpr Mac_Address Other_Device{0x02, 0x66, 0x00, 0x00, 0x00, 0x03};

void Say(const QString& Line)
{
    std::printf("%s\n", qPrintable(Line));
    std::fflush(stdout);
}

QByteArray With_Info(const QByteArray& Value) { return QByteArray(2, '\0') + Value; }

// An Identify answer of a gateway: name, vendor text, identity, an address.
QByteArray Identify_Answer(const Mac_Address& To, const Mac_Address& From, quint32 Xid, const QByteArray& Name,
                           const QByteArray& Vendor, int Frame_Bytes = 0)
{
    QByteArray Frame = Response_Header(To, From, Frame_Identify_Response, Service_Identify, Xid);
    QByteArray Ids, Ip;
    Put_U16(Ids, Identity::Vendor_ID);
    Put_U16(Ids, Identity::Device_ID);
    Put_U32(Ip, 0x0A000000U | (quint32(From[3]) << 16) | (quint32(From[4]) << 8) | From[5]);
    Put_U32(Ip, 0xFF000000U);
    Put_U32(Ip, 0);
    Put_Block(Frame, Option_Device, Device_Name_Of_Station, With_Info(Name));
    Put_Block(Frame, Option_Ip, Ip_Parameter, With_Info(Ip));
    Put_Block(Frame, Option_Device, Device_Vendor, With_Info(Vendor));
    Put_Block(Frame, Option_Device, Device_Id, With_Info(Ids));
    // A block of a manufacturer's option, which readers pass over, up to the frame size asked.
    const int Filler = Frame_Bytes - int(Frame.size()) - 4;
    if (Filler > 0)
        Put_Block(Frame, 0x80, 0x01, QByteArray(Filler, 'f'));
    Finish_Frame(Frame);
    return Frame;
}

// The n-th flood station name: distinct, of exactly Bytes bytes.
QByteArray Flood_Name(int N, int Bytes)
{
    QByteArray Name = "flood-" + QByteArray::number(N) + "-";
    if (Name.size() < Bytes)
        Name.append(QByteArray(Bytes - Name.size(), 'x'));
    return Name.left(Bytes);
}

Mac_Address Flood_Mac(int N)
{
    return {0x02, 0x77, quint8(N >> 24), quint8(N >> 16), quint8(N >> 8), quint8(N)};
}

QList<QByteArray> Hostile_Answers(const Mac_Address& To, quint32 Xid)
{
    QList<QByteArray> Frames;
    Frames.append(Identify_Answer(To, Hostile_Device, Xid, QByteArray("gw\x1b[2J\nforged  line\x7f", 20),
                                  QByteArray("Vendor\r\x07\0end\xe2\x80\xae", 15)));
    for (const Mac_Address& Group : {Identify_Multicast, Mac_Address{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                                     Mac_Address{}, To})
        Frames.append(Identify_Answer(To, Group, Xid, "gw-from-a-group", "GW40610"));
    // A block that claims more than the frame holds.
    QByteArray Lying = Response_Header(To, Lying_Device, Frame_Identify_Response, Service_Identify, Xid);
    Lying.append(QByteArray::fromHex("02020040000067772d31"));
    Finish_Frame(Lying);
    Frames.append(Lying);
    return Frames;
}

QByteArray Set_Answer(const Frame& Request, const Mac_Address& From, quint8 Option, quint8 Suboption)
{
    QByteArray Frame = Response_Header(Request.Source, From, Frame_Get_Set, Service_Set, Request.Xid);
    QByteArray Result;
    Result.append(static_cast<char>(Option));
    Result.append(static_cast<char>(Suboption));
    Result.append('\0');
    Put_Block(Frame, Option_Control, Control_Response, Result);
    Finish_Frame(Frame);
    return Frame;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication App(argc, argv);
    QCommandLineParser Parser;
    Parser.setApplicationDescription(QStringLiteral("A hostile PROFINET DCP responder for tests."));
    Parser.addHelpOption();
    const QCommandLineOption Interface(QStringLiteral("interface"), QStringLiteral("Ethernet interface."), QStringLiteral("IF"));
    const QCommandLineOption Flood(QStringLiteral("flood"), QStringLiteral("Answers per search."), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption Name_Bytes(QStringLiteral("name-bytes"), QStringLiteral("Station name length."), QStringLiteral("B"), QStringLiteral("20"));
    const QCommandLineOption Frame_Bytes(QStringLiteral("frame-bytes"), QStringLiteral("Frame length."), QStringLiteral("F"), QStringLiteral("0"));
    const QCommandLineOption Hostile(QStringLiteral("hostile"), QStringLiteral("Forged and malformed answers."));
    const QCommandLineOption Set_Mode(QStringLiteral("set-answer"), QStringLiteral("How a Set is answered."), QStringLiteral("how"));
    const QCommandLineOption Idle(QStringLiteral("idle-ms"), QStringLiteral("End after this long without a frame."), QStringLiteral("ms"), QStringLiteral("30000"));
    const QCommandLineOption Max(QStringLiteral("max-ms"), QStringLiteral("End after this long in any case."), QStringLiteral("ms"), QStringLiteral("240000"));
    Parser.addOptions({Interface, Flood, Name_Bytes, Frame_Bytes, Hostile, Set_Mode, Idle, Max});
    Parser.process(App);

    const int Answers = Parser.value(Flood).toInt();
    const int Name_Length = std::clamp(Parser.value(Name_Bytes).toInt(), 1, 1450);
    const int Frame_Length = std::clamp(Parser.value(Frame_Bytes).toInt(), 0, 1514);
    const QString Set_How = Parser.value(Set_Mode);
    if (!Parser.isSet(Interface) || Answers < 0 ||
        !(Set_How.isEmpty() || Set_How == QLatin1String("exact") || Set_How == QLatin1String("wrong-option") ||
          Set_How == QLatin1String("other-source") || Set_How == QLatin1String("group-source"))) {
        std::fprintf(stderr, "dcp_responder: --interface IF is required; --set-answer exact|wrong-option|other-source|group-source\n");
        return 2;
    }
    Pcap_Raw_Ethernet Ethernet;
    // Promiscuous: the answering MACs are not the interface's own.
    auto Port = Ethernet.Open(Parser.value(Interface), true);
    if (!Port) {
        std::fprintf(stderr, "dcp_responder: %s\n", qPrintable(Port.error().Text));
        return 2;
    }
    Say(QStringLiteral("READY"));
    const auto End_Of_Run = Clock::now() + std::chrono::milliseconds(std::clamp(Parser.value(Max).toInt(), 100, 3600000));
    const auto Idle_Time = std::chrono::milliseconds(std::clamp(Parser.value(Idle).toInt(), 100, 600000));
    auto Idle_End = Clock::now() + Idle_Time;
    qint64 Sent = 0;
    const auto Send = [&](const QByteArray& Frame) {
        if ((*Port)->Send(Frame))
            ++Sent;
    };
    while (Clock::now() < std::min(End_Of_Run, Idle_End)) {
        const auto Received = (*Port)->Receive(std::min(End_Of_Run, Idle_End));
        if (!Received)
            continue;
        const auto Request = Read_Frame(As_Bytes(*Received));
        if (!Request || Request->Service_Type != Type_Request)
            continue;
        Idle_End = Clock::now() + Idle_Time;
        if (Request->Frame_Id == Frame_Identify_Request) {
            Say(QStringLiteral("SEARCH %1").arg(Request->Xid));
            if (Parser.isSet(Hostile))
                for (const QByteArray& Frame : Hostile_Answers(Request->Source, Request->Xid))
                    Send(Frame);
            // The flood spread over nine tenths of the answer window asked for.
            const auto Start = Clock::now();
            const auto Spread = std::chrono::milliseconds(Request->Response_Delay * 10 * 9 / 10);
            for (int N = 0; N < Answers; ++N) {
                const auto Due = Start + Spread * N / std::max(1, Answers);
                if (Due > Clock::now())
                    std::this_thread::sleep_until(Due);
                Send(Identify_Answer(Request->Source, Flood_Mac(N), Request->Xid, Flood_Name(N, Name_Length), "Flood",
                                     Frame_Length));
            }
            continue;
        }
        if (Request->Frame_Id != Frame_Get_Set || Request->Service_Id != Service_Set)
            continue;
        const auto Blocks = Read_Blocks(Request->Blocks);
        if (!Blocks || Blocks->isEmpty())
            continue;
        const Block& Asked = Blocks->first();
        Say(QStringLiteral("SET %1 %2/%3").arg(Mac_Text(Request->Destination)).arg(Asked.Option).arg(Asked.Suboption));
        if (Set_How == QLatin1String("exact"))
            Send(Set_Answer(*Request, Request->Destination, Asked.Option, Asked.Suboption));
        else if (Set_How == QLatin1String("wrong-option"))
            Send(Set_Answer(*Request, Request->Destination, Option_Ip, Ip_Parameter));
        else if (Set_How == QLatin1String("other-source"))
            Send(Set_Answer(*Request, Other_Device, Asked.Option, Asked.Suboption));
        else if (Set_How == QLatin1String("group-source"))
            Send(Set_Answer(*Request, Identify_Multicast, Asked.Option, Asked.Suboption));
    }
    Say(QStringLiteral("SENT %1").arg(Sent));
    return 0;
}
