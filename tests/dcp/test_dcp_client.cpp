// The configurator's DCP client against the simulated devices, wired
// together without a network: what a search collects and what it passes
// over, and what each Set leaves in the device and after its restart.

#include "dcp/Dcp_Client.h"
#include "dcp/Dcp_Texts.h"
#include "dcp/Device_List.h"
#include "foundation/Lang_Strings.h"
#include "dcp/Loop_Ethernet.h"
#include "platform/Raw_Ethernet.h"
#include "support/Test_Files.h"

#include <QJsonArray>

#include <set>
#include <QTemporaryDir>
#include <QTest>

using namespace Dcp;
using namespace std::chrono_literals;

namespace {

Ipv4_Address Ip(const char* Text) { return *Parse_Ipv4(QString::fromLatin1(Text)); }

const Mac_Address First_Gateway{0x02, 0x06, 0x10, 0x00, 0x00, 0x00};
const Mac_Address Loop_Own{0x02, 0xAA, 0x00, 0x00, 0x00, 0x01};

// A Set response to Request: from From, with a result for Option/Suboption, to the request's Xid plus Xid_Shift.
QByteArray Set_Answer(const QByteArray& Request, const Mac_Address& From, quint8 Option, quint8 Suboption,
                      quint32 Xid_Shift = 0)
{
    const auto R = Read_Frame(As_Bytes(Request));
    QByteArray Frame = Response_Header(R->Source, From, Frame_Get_Set, Service_Set, R->Xid + Xid_Shift);
    QByteArray Result;
    Result.append(char(Option)).append(char(Suboption)).append('\0');
    Put_Block(Frame, Option_Control, Control_Response, Result);
    Finish_Frame(Frame);
    return Frame;
}

// An answer frame with another source MAC.
QByteArray From(QByteArray Frame, const Mac_Address& Source)
{
    for (int I = 0; I < 6; ++I)
        Frame[6 + I] = char(Source[I]);
    return Frame;
}

struct Wire {
    Dcp_Devices Devices;
    Loop_Port Port{Devices};
    Client Dcp{Port};
    explicit Wire(Dcp_Devices::Options O = {}) : Devices(O)
    {
        Dcp.Set_Wait = 10ms;
        Dcp.Margin = 0ms;
    }
    Device_Record Identify(const Mac_Address& Mac)
    {
        const auto Found = Dcp.Identify_One(Mac, 10ms);
        return Found && *Found ? **Found : Device_Record{};
    }
};

} // namespace

class Test_Dcp_Client : public QObject {
    Q_OBJECT
private slots:
    void Search_Lists_Every_Device_Once();
    void Search_Passes_Over_Strangers();
    void Device_Answers_A_Search_By_Its_Name();
    void Permanent_Name_Survives_Restart_Temporary_Ip_Does_Not();
    void Device_Error_Is_Reported();
    void Silent_Device_Is_No_Answer();
    void Stop_Ends_The_Wait();
    void Invalid_Name_Is_Not_Sent();
    void Duplicates_Are_Found();
    void Json_Of_Devices();
    void Missing_Capture_Library_Is_Named_With_Its_Remedy();
    void Search_Keeps_At_Most_The_Bound();
    void Search_Counts_Malformed_Answers();
    void Set_Needs_The_Exact_Answer_data();
    void Set_Needs_The_Exact_Answer();
    void No_Device_Mac_Is_A_Target_data();
    void No_Device_Mac_Is_A_Target();
    void Printable_Escapes_Control_Characters_data();
    void Printable_Escapes_Control_Characters();
    void Hostile_Device_In_Text_And_Json();
};

void Test_Dcp_Client::Search_Lists_Every_Device_Once()
{
    Wire W({.Gateways = 3, .Foreign = 2});
    W.Port.Answer_Twice = true;
    const auto Found = W.Dcp.Identify_All(100ms);
    QVERIFY(Found);
    QCOMPARE(Found->size(), 5);
    QList<Device_Record> Sorted = *Found;
    Sort_Devices(Sorted);
    for (int I = 0; I < 5; ++I)
        QCOMPARE(Sorted[I].Is_Gateway(), I < 3);
    QCOMPARE(Sorted[3].Name, QStringLiteral("io-device-1"));
    // The request asked the devices to spread their answers over the window.
    const auto Request = Read_Frame(As_Bytes(W.Port.Sent.first()));
    QVERIFY(Request);
    QCOMPARE(Request->Response_Delay, quint16(10));
    QCOMPARE(Request->Destination, Identify_Multicast);
}

void Test_Dcp_Client::Search_Passes_Over_Strangers()
{
    Wire W({.Gateways = 1});
    // Before the real answer: an answer to an earlier search, one for
    // another station, and a cut frame.
    Dcp_Devices Other({.Gateways = 1, .Foreign = 1});
    const Mac_Address Elsewhere{0x02, 0xBB, 0, 0, 0, 9};
    auto Theirs = Other.Handle(As_Bytes(Identify_All_Request(W.Port.Mac(), 0x0BADF00D, 1)));
    auto Not_Ours = Other.Handle(As_Bytes(Identify_All_Request(Elsewhere, 0, 1)));
    W.Port.Before_Answers = {Theirs[1].Frame, Not_Ours[1].Frame, Theirs[0].Frame.left(30)};
    const auto Found = W.Dcp.Identify_All(10ms);
    QVERIFY(Found);
    QCOMPARE(Found->size(), 1);
    QCOMPARE(Found->first().Mac, First_Gateway);
}

void Test_Dcp_Client::Device_Answers_A_Search_By_Its_Name()
{
    Dcp_Devices Devices({.Gateways = 2, .Foreign = 3});
    const Mac_Address Own{0x02, 0xAA, 0, 0, 0, 1};
    const auto Answers = Devices.Handle(As_Bytes(Identify_Name_Request(Own, 5, 1, "io-device-2")));
    QCOMPARE(Answers.size(), 1);
    const auto Read = Read_Identify_Response(As_Bytes(Answers.first().Frame), Own, 5);
    QVERIFY(Read);
    QCOMPARE(Read->Name, QStringLiteral("io-device-2"));
    QVERIFY(Devices.Handle(As_Bytes(Identify_Name_Request(Own, 5, 1, "io-device"))).isEmpty());
    // A search sent to one device rather than to the multicast address is not a search.
    QByteArray Unicast = Identify_All_Request(Own, 5, 1);
    Unicast.replace(0, 6, QByteArray::fromHex("020610000000"));
    QVERIFY(Devices.Handle(As_Bytes(Unicast)).isEmpty());
}

void Test_Dcp_Client::Permanent_Name_Survives_Restart_Temporary_Ip_Does_Not()
{
    Wire W;
    const auto Named = W.Dcp.Set_Name(First_Gateway, QStringLiteral("gw-hall-1"), true);
    QVERIFY(Named);
    QCOMPARE(Named->First_Error(), quint8(0));
    const Ip_Suite Suite{Ip("10.0.0.5"), Ip("255.255.255.0"), Ip("10.0.0.1")};
    const auto Addressed = W.Dcp.Set_Ip(First_Gateway, Suite, false);
    QVERIFY(Addressed);
    QCOMPARE(Addressed->First_Error(), quint8(0));
    QCOMPARE(Addressed->Results.first().Option, quint8(Option_Ip));
    QCOMPARE(W.Identify(First_Gateway).Name, QStringLiteral("gw-hall-1"));
    QCOMPARE(W.Identify(First_Gateway).Ip, std::optional(Suite));

    W.Devices.Restart();
    const Device_Record After = W.Identify(First_Gateway);
    QCOMPARE(After.Name, QStringLiteral("gw-hall-1"));
    QCOMPARE(After.Ip->Address.Value(), 0U);
    QCOMPARE(After.Ip_Setting(), Ip_State::Not_Set);
}

void Test_Dcp_Client::Device_Error_Is_Reported()
{
    Wire W({.Gateways = 1, .Set_Error = 6});
    const auto Answer = W.Dcp.Signal(First_Gateway);
    QVERIFY(Answer);
    QCOMPARE(Answer->First_Error(), quint8(6));
    Lang_Table English;
    English.Create_Default_Strings();
    QCOMPARE(Block_Error_Text(English, 6), QStringLiteral("not possible in operation"));
}

void Test_Dcp_Client::Stop_Ends_The_Wait()
{
    // Waits of a minute, ended by a stop asked for from the start.
    Wire W({.Gateways = 1, .Silent = true});
    W.Dcp.Set_Wait = 60s;
    std::stop_source Stop;
    W.Dcp.Stop = Stop.get_token();
    Stop.request_stop();
    const auto Answer = W.Dcp.Set_Name(First_Gateway, QStringLiteral("gw"), true);
    QVERIFY(!Answer);
    QCOMPARE(Answer.error().What, Set_Failure::Cancelled);
    // Sent once, never asked again.
    QCOMPARE(W.Port.Sent.size(), 1);
    const auto Found = W.Dcp.Search(60s);
    QVERIFY(Found);
    QVERIFY(Found->Devices.isEmpty());
}

void Test_Dcp_Client::Silent_Device_Is_No_Answer()
{
    Wire W({.Gateways = 1, .Silent = true});
    const auto Answer = W.Dcp.Set_Name(First_Gateway, QStringLiteral("gw"), true);
    QVERIFY(!Answer);
    QCOMPARE(Answer.error().What, Set_Failure::No_Answer);
    // Asked again with the same Xid before giving up.
    QCOMPARE(W.Port.Sent.size(), 2);
    QCOMPARE(W.Port.Sent[0], W.Port.Sent[1]);

    // An answer from another device than the one asked is no answer.
    Wire Two({.Gateways = 2});
    const Mac_Address Absent{0x02, 0x06, 0x10, 0x00, 0x00, 0x07};
    QCOMPARE(Two.Dcp.Signal(Absent).error().What, Set_Failure::No_Answer);
}

void Test_Dcp_Client::Invalid_Name_Is_Not_Sent()
{
    Wire W;
    const auto Answer = W.Dcp.Set_Name(First_Gateway, QStringLiteral("port-001"), true);
    QVERIFY(!Answer);
    QCOMPARE(Answer.error().What, Set_Failure::Invalid_Name);
    QVERIFY(W.Port.Sent.isEmpty());
}

void Test_Dcp_Client::Duplicates_Are_Found()
{
    Wire W({.Gateways = 3});
    QVERIFY(W.Dcp.Set_Name(First_Gateway, QStringLiteral("same"), false));
    QVERIFY(W.Dcp.Set_Name({0x02, 0x06, 0x10, 0, 0, 1}, QStringLiteral("same"), false));
    const Ip_Suite Suite{Ip("10.0.0.5"), Ip("255.0.0.0"), Ip("0.0.0.0")};
    QVERIFY(W.Dcp.Set_Ip({0x02, 0x06, 0x10, 0, 0, 1}, Suite, false));
    QVERIFY(W.Dcp.Set_Ip({0x02, 0x06, 0x10, 0, 0, 2}, Suite, false));
    const auto Found = W.Dcp.Identify_All(10ms);
    QVERIFY(Found);
    const Duplicates Shared = Find_Duplicates(*Found);
    QCOMPARE(Shared.Names, QSet<QString>{QStringLiteral("same")});
    QCOMPARE(Shared.Addresses, QSet<quint32>{Suite.Address.Value()});
    // The third gateway's empty name and the first's unset address are shared by nobody.
    const auto Third = std::find_if(Found->begin(), Found->end(), [](const auto& D) { return D.Mac[5] == 2; });
    QVERIFY(!Shared.Name_Shared(*Third));
    QVERIFY(Shared.Address_Shared(*Third));
}

void Test_Dcp_Client::Json_Of_Devices()
{
    Device_Record Gateway;
    Gateway.Mac = {0xAA, 0xBB, 0xCC, 0x00, 0x01, 0x02};
    Gateway.Name = QStringLiteral("gw-1");
    Gateway.Ip = Ip_Suite{Ip("192.168.2.205"), Ip("255.255.255.0"), Ip("192.168.2.1")};
    Gateway.Vendor = QStringLiteral("GW40610");
    Gateway.Vendor_Id = 0x1111;
    Gateway.Device_Id = 0x0221;
    Gateway.Role = 1;
    Device_Record Bare;
    Bare.Mac = {0x02, 0, 0, 0, 0, 1};
    const QJsonObject Json = Devices_Json(QStringLiteral("eth1"), {Gateway, Bare});
    QCOMPARE(Json[QStringLiteral("interface")].toString(), QStringLiteral("eth1"));
    const QJsonObject First = Json[QStringLiteral("devices")].toArray()[0].toObject();
    QCOMPARE(First[QStringLiteral("mac")].toString(), QStringLiteral("aa:bb:cc:00:01:02"));
    QCOMPARE(First[QStringLiteral("ip")].toString(), QStringLiteral("192.168.2.205"));
    QCOMPARE(First[QStringLiteral("gateway")].toString(), QStringLiteral("192.168.2.1"));
    QCOMPARE(First[QStringLiteral("vendor_id")].toInt(), 0x1111);
    QCOMPARE(First[QStringLiteral("device_id")].toInt(), 0x0221);
    QCOMPARE(First[QStringLiteral("gw40610")].toBool(), true);
    const QJsonObject Second = Json[QStringLiteral("devices")].toArray()[1].toObject();
    QVERIFY(Second[QStringLiteral("name")].isNull());
    QVERIFY(Second[QStringLiteral("ip")].isNull());
    QCOMPARE(Second[QStringLiteral("gw40610")].toBool(), false);
}

void Test_Dcp_Client::Missing_Capture_Library_Is_Named_With_Its_Remedy()
{
    // The capture library is loaded when the network is first searched;
    // without it both calls say what is missing and how to install it, not
    // an empty list that looks like "no interfaces".
    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    Test_Support::Write_File(Dir.filePath(QStringLiteral("libpcap-broken.so")), "not a library");
    Pcap_Raw_Ethernet Ethernet({Dir.filePath(QStringLiteral("libpcap-missing.so")),
                                Dir.filePath(QStringLiteral("libpcap-broken.so"))});
    const auto Listed = Ethernet.Interfaces();
    QVERIFY(!Listed);
    QVERIFY(!Listed.error().Lacks_Rights);
    QVERIFY2(Listed.error().Text.contains(QStringLiteral("needs libpcap")), qPrintable(Listed.error().Text));
    QVERIFY2(Listed.error().Text.contains(QStringLiteral("libpcap-broken.so")), qPrintable(Listed.error().Text));
#ifdef Q_OS_WIN
    const QString Remedy = QStringLiteral("Install Npcap (https://npcap.com)");
#else
    const QString Remedy = QStringLiteral("apt install libpcap0.8");
#endif
    QVERIFY2(Listed.error().Text.contains(Remedy), qPrintable(Listed.error().Text));
    const auto Opened = Ethernet.Open(QStringLiteral("eth0"));
    QVERIFY(!Opened);
    QCOMPARE(Opened.error().Text, Listed.error().Text);
}

void Test_Dcp_Client::Search_Keeps_At_Most_The_Bound()
{
    // More devices than a search keeps, each answering twice: the first
    // Max_Devices are kept once each, every answer past them counted.
    Wire W({.Gateways = Max_Devices + 40});
    W.Port.Answer_Twice = true;
    const auto Found = W.Dcp.Search(100ms);
    QVERIFY(Found);
    QCOMPARE(Found->Devices.size(), Max_Devices);
    QCOMPARE(Found->Dropped, 80);
    QCOMPARE(Found->Malformed, 0);
    std::set<Mac_Address> Macs;
    for (const Device_Record& D : Found->Devices)
        Macs.insert(D.Mac);
    QCOMPARE(int(Macs.size()), Max_Devices);
    QCOMPARE(Devices_Json(QStringLiteral("dcp0"), *Found)[QStringLiteral("dropped")].toInt(), 80);
}

void Test_Dcp_Client::Search_Counts_Malformed_Answers()
{
    Wire W({.Gateways = 1});
    Dcp_Devices Other({.Gateways = 2});
    Other.Devices()[1].Name = QString(Max_Name_Bytes + 1, QLatin1Char('n'));
    W.Port.Forge = [&](const QByteArray& Request) {
        const auto Answers = Other.Handle(As_Bytes(Request));
        const QByteArray Good = Answers[0].Frame;
        QByteArray Lying = Good;
        Lying[14 + 10 + 2 + 3] = char(0x7F); // the first block claims more than there is
        return QList<QByteArray>{
            From(Good, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), From(Good, Identify_Multicast), From(Good, {}),
            From(Good, Loop_Own), Answers[1].Frame, Lying,
            // Another station's traffic is no malformed answer.
            Identify_All_Request(First_Gateway, 1, 1), QByteArray(Good).replace(0, 6, QByteArray::fromHex("025500000009")),
        };
    };
    const auto Found = W.Dcp.Search(10ms);
    QVERIFY(Found);
    QCOMPARE(Found->Devices.size(), 1);
    QCOMPARE(Found->Devices.first().Mac, First_Gateway);
    QCOMPARE(Found->Malformed, 6);
    QVERIFY2(Found->First_Malformed.contains(QStringLiteral("the broadcast address")), qPrintable(Found->First_Malformed));
    QCOMPARE(Devices_Json(QStringLiteral("dcp0"), *Found)[QStringLiteral("malformed")].toInt(), 6);
}

void Test_Dcp_Client::Set_Needs_The_Exact_Answer_data()
{
    QTest::addColumn<QString>("Forged");
    QTest::addColumn<bool>("Device_Answers");
    QTest::addColumn<int>("Failure"); // -1: done
    QTest::addColumn<QString>("Said");
    QTest::newRow("a result for the IP parameter") << "wrong option" << false << int(Set_Failure::Invalid_Answer)
                                                   << "a result for 1/2 (done), not for 2/2 as sent";
    QTest::newRow("the right result from another device") << "other device" << false << int(Set_Failure::Invalid_Answer)
                                                          << "not from the device addressed";
    QTest::newRow("the right result from a group MAC") << "group source" << false << int(Set_Failure::Invalid_Answer)
                                                       << "group address 01:0e:cf:00:00:00";
    QTest::newRow("the right result to another Xid") << "other xid" << false << int(Set_Failure::No_Answer) << "";
    QTest::newRow("the device's own answer after a forged one") << "wrong option" << true << -1 << "";
}

void Test_Dcp_Client::Set_Needs_The_Exact_Answer()
{
    QFETCH(QString, Forged);
    QFETCH(bool, Device_Answers);
    QFETCH(int, Failure);
    QFETCH(QString, Said);
    Wire W({.Gateways = 1, .Silent = !Device_Answers});
    W.Port.Forge = [&](const QByteArray& Request) {
        if (Forged == QLatin1String("wrong option"))
            return QList{Set_Answer(Request, First_Gateway, Option_Ip, Ip_Parameter)};
        if (Forged == QLatin1String("other device"))
            return QList{Set_Answer(Request, {0x02, 0x06, 0x10, 0, 0, 9}, Option_Device, Device_Name_Of_Station)};
        if (Forged == QLatin1String("group source"))
            return QList{Set_Answer(Request, Identify_Multicast, Option_Device, Device_Name_Of_Station)};
        return QList{Set_Answer(Request, First_Gateway, Option_Device, Device_Name_Of_Station, 1)};
    };
    const auto Answer = W.Dcp.Set_Name(First_Gateway, QStringLiteral("gw-1"), true);
    QCOMPARE(Answer ? -1 : int(Answer.error().What), Failure);
    if (Answer) {
        QCOMPARE(Answer->Results.size(), 1);
        QCOMPARE(Answer->Results.first().Option, quint8(Option_Device));
        QCOMPARE(Answer->First_Error(), quint8(0));
        QCOMPARE(W.Identify(First_Gateway).Name, QStringLiteral("gw-1"));
    } else {
        QVERIFY2(Answer.error().Text.contains(Said), qPrintable(Answer.error().Text));
    }
}

void Test_Dcp_Client::No_Device_Mac_Is_A_Target_data()
{
    QTest::addColumn<QString>("Mac");
    QTest::newRow("broadcast") << "ff:ff:ff:ff:ff:ff";
    QTest::newRow("the identify multicast") << "01:0e:cf:00:00:00";
    QTest::newRow("another group") << "01:00:5e:00:00:01";
    QTest::newRow("all zeros") << "00:00:00:00:00:00";
    QTest::newRow("this station's own") << Mac_Text(Loop_Own);
}

void Test_Dcp_Client::No_Device_Mac_Is_A_Target()
{
    QFETCH(QString, Mac);
    const Mac_Address Target = *Parse_Mac(Mac);
    Wire W({.Gateways = 1});
    const Ip_Suite Suite{Ip("10.0.0.5"), Ip("255.0.0.0"), Ip("0.0.0.0")};
    for (const auto& Answer : {W.Dcp.Set_Name(Target, QStringLiteral("gw-1"), true), W.Dcp.Set_Ip(Target, Suite, true),
                               W.Dcp.Signal(Target)}) {
        QVERIFY(!Answer);
        QCOMPARE(Answer.error().What, Set_Failure::Invalid_Target);
    }
    // An address no device may hold is not sent either.
    const auto Loopback = W.Dcp.Set_Ip(First_Gateway, {Ip("127.0.0.1"), Ip("255.0.0.0"), Ip("0.0.0.0")}, true);
    QCOMPARE(Loopback.error().What, Set_Failure::Invalid_Ip);
    QVERIFY(W.Port.Sent.isEmpty());
}

void Test_Dcp_Client::Printable_Escapes_Control_Characters_data()
{
    QTest::addColumn<QString>("Text");
    QTest::addColumn<QString>("Shown");
    QTest::newRow("plain") << "gw-hall-1" << "gw-hall-1";
    QTest::newRow("escape sequence") << "a\x1b[2Jb" << "a\\x1b[2Jb";
    QTest::newRow("forged line") << "a\nb\rc\td" << "a\\nb\\rc\\td";
    QTest::newRow("NUL and DEL") << QString::fromLatin1("a\0b\x7f", 4) << "a\\x00b\\x7f";
    QTest::newRow("C1 control sequence introducer") << QString(QChar(0x9B)) + "31m" << "\\x9b31m";
    QTest::newRow("right-to-left override") << QString(QChar(0x202E)) + "txt" << "\\u{202e}txt";
    QTest::newRow("line separator") << QString(QChar(0x2028)) << "\\u{2028}";
    QTest::newRow("quote and backslash") << "a\"b\\c" << "a\\\"b\\\\c";
    QTest::newRow("letters beyond ASCII kept") << QString::fromUtf8("Größe \U0001F600") << QString::fromUtf8("Größe \U0001F600");
}

void Test_Dcp_Client::Printable_Escapes_Control_Characters()
{
    QFETCH(QString, Text);
    QFETCH(QString, Shown);
    QCOMPARE(Printable(Text), Shown);
}

void Test_Dcp_Client::Hostile_Device_In_Text_And_Json()
{
    Device_Record Hostile;
    Hostile.Mac = {0x02, 0x66, 0, 0, 0, 1};
    Hostile.Name = QStringLiteral("gw\x1b[2J\nforged  line");
    Hostile.Vendor = QString::fromLatin1("V\r\0", 3);
    Hostile.Ip = Ip_Suite{Ip("10.0.0.5"), Ip("255.0.0.0"), Ip("0.0.0.0")};
    Hostile.Ip_Block_Info = 0x0081;
    Device_Record Twin = Hostile;
    Twin.Mac[5] = 2;
    const QList<Device_Record> Devices{Hostile, Twin};
    const QString Line = Device_Line(Hostile, Find_Duplicates(Devices));
    for (const QChar C : Line)
        QVERIFY2(C.unicode() >= 0x20 && C.unicode() != 0x7F, qPrintable(Line));
    QVERIFY2(Line.contains(QStringLiteral("name=\"gw\\x1b[2J\\nforged  line\"")), qPrintable(Line));
    QVERIFY2(Line.contains(QStringLiteral("vendor=\"V\\r\\x00\"")), qPrintable(Line));
    QVERIFY2(Line.endsWith(QStringLiteral("  duplicate-name  duplicate-ip  address-conflict")), qPrintable(Line));
    // JSON keeps the texts exactly, and says the same marks.
    const QJsonObject First = Devices_Json(QStringLiteral("dcp0"), Devices)[QStringLiteral("devices")].toArray()[0].toObject();
    QCOMPARE(First[QStringLiteral("name")].toString(), *Hostile.Name);
    QCOMPARE(First[QStringLiteral("vendor")].toString(), *Hostile.Vendor);
    QCOMPARE(First[QStringLiteral("duplicate_name")].toBool(), true);
    QCOMPARE(First[QStringLiteral("duplicate_ip")].toBool(), true);
    QCOMPARE(First[QStringLiteral("address_conflict")].toBool(), true);
    Device_Record Alone = Hostile;
    Alone.Ip_Block_Info = 1;
    const QJsonObject Single = Devices_Json(QStringLiteral("dcp0"), {Alone})[QStringLiteral("devices")].toArray()[0].toObject();
    for (const char* Flag : {"duplicate_name", "duplicate_ip", "address_conflict"})
        QCOMPARE(Single[QLatin1String(Flag)].toBool(), false);
}

QTEST_GUILESS_MAIN(Test_Dcp_Client)
#include "test_dcp_client.moc"
