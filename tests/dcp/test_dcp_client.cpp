// The configurator's DCP client against the simulated devices, wired
// together without a network: what a search collects and what it passes
// over, and what each Set leaves in the device and after its restart.

#include "dcp/Dcp_Client.h"
#include "dcp/Device_List.h"
#include "dcp/Loop_Ethernet.h"
#include "platform/Raw_Ethernet.h"
#include "support/Test_Files.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

using namespace Dcp;
using namespace std::chrono_literals;

namespace {

Ipv4_Address Ip(const char* Text) { return *Parse_Ipv4(QString::fromLatin1(Text)); }

const Mac_Address First_Gateway{0x02, 0x06, 0x10, 0x00, 0x00, 0x00};

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
    void Invalid_Name_Is_Not_Sent();
    void Duplicates_Are_Found();
    void Json_Of_Devices();
    void Missing_Capture_Library_Is_Named_With_Its_Remedy();
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
    QCOMPARE(Block_Error_Text(6), QStringLiteral("not possible in operation"));
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
    QVERIFY2(Listed.error().Text.contains(QStringLiteral("apt install libpcap0.8")), qPrintable(Listed.error().Text));
    const auto Opened = Ethernet.Open(QStringLiteral("eth0"));
    QVERIFY(!Opened);
    QCOMPARE(Opened.error().Text, Listed.error().Text);
}

QTEST_GUILESS_MAIN(Test_Dcp_Client)
#include "test_dcp_client.moc"
