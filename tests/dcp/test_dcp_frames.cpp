// DCP frames against byte tables written out by hand from the protocol's
// layout: Ethernet header, FrameID, ServiceID, ServiceType, Xid,
// ResponseDelay/reserved, DCPDataLength, then blocks of option, suboption,
// length and value, each padded to even length; frames padded to 60 bytes.

#include "dcp/Dcp_Frames.h"
#include "dcp/Dcp_Texts.h"
#include "foundation/Lang_Strings.h"
#include "foundation/Workspace.h"

#include <QTest>

using namespace Dcp;

// The reason only when there is one: QVERIFY2 evaluates its message in any case.
#define QVERIFY_READ(R) QVERIFY2((R).has_value(), (R) ? "" : qPrintable((R).error()))

namespace {

constexpr Mac_Address Own{0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
constexpr Mac_Address Device{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};

// Hex with blanks for reading; padded with zeros to the 60 bytes of a short frame.
QByteArray Hex(const char* Text, bool Pad = true)
{
    QByteArray Data = QByteArray::fromHex(Text);
    if (Pad && Data.size() < 60)
        Data.append(QByteArray(60 - Data.size(), '\0'));
    return Data;
}

Ipv4_Address Ip(const char* Text) { return *Parse_Ipv4(QString::fromLatin1(Text)); }

// A complete Identify response of a gateway: name "gw-1", address
// 192.168.0.10/24 via 192.168.0.1 (set, with the conflict bit), vendor text
// "GW40610" (odd, padded), VendorID 0x1111 DeviceID 0x0221, role 1, options 2/2 and 1/2.
const char* const Response_Blocks = "0202 0006 0000 67772d31"
                                    "0102 000e 0081 c0a8000a ffffff00 c0a80001"
                                    "0201 0009 0000 47573430363130 00"
                                    "0203 0006 0000 1111 0221"
                                    "0204 0004 0000 01 00"
                                    "0205 0006 0000 0202 0102";
QByteArray Identify_Response(const char* Type_Tag = "8892", const char* Xid = "12345678", const char* Blocks = Response_Blocks,
                             const char* Length = "0046", const char* Head = "feff 05 01")
{
    return QByteArray::fromHex(QByteArray("020000000001 001122334455 ") + Type_Tag + Head + Xid + "0000" + Length + Blocks);
}

} // namespace

class Test_Dcp_Frames : public QObject {
    Q_OBJECT
private slots:
    void Requests_data();
    void Requests();
    void Identify_Response_Read();
    void Identify_Response_Behind_Vlan_Tag();
    void Identify_Response_With_Few_Blocks();
    void Malformed_data();
    void Malformed();
    void Set_Response_Read_data();
    void Set_Response_Read();
    void Mac_Text_Round_Trip();
    void Longest_Texts_Are_Read();
    void Block_Error_In_The_Language_Chosen_data();
    void Block_Error_In_The_Language_Chosen();
};

void Test_Dcp_Frames::Requests_data()
{
    QTest::addColumn<QByteArray>("Built");
    QTest::addColumn<QByteArray>("Expected");
    const Mac_Address Target{0x02, 0x00, 0x00, 0x00, 0x00, 0x02};
    QTest::newRow("identify all") << Identify_All_Request(Own, 0x12345678, 0x0080)
                                  << Hex("010ecf000000 020000000001 8892 fefe 05 00 12345678 0080 0004 ffff 0000");
    QTest::newRow("identify by name") << Identify_Name_Request(Own, 7, 1, "gw-1")
                                      << Hex("010ecf000000 020000000001 8892 fefe 05 00 00000007 0001 0008 "
                                             "0202 0004 67772d31");
    QTest::newRow("identify by odd name, padded") << Identify_Name_Request(Own, 7, 1, "abc")
                                                  << Hex("010ecf000000 020000000001 8892 fefe 05 00 00000007 0001 0008 "
                                                         "0202 0003 616263 00");
    QTest::newRow("set name permanent") << Set_Name_Request(Own, Target, 1, "gw-1", true)
                                        << Hex("020000000002 020000000001 8892 fefd 04 00 00000001 0000 000a "
                                               "0202 0006 0001 67772d31");
    QTest::newRow("set odd name temporary") << Set_Name_Request(Own, Target, 1, "abc", false)
                                            << Hex("020000000002 020000000001 8892 fefd 04 00 00000001 0000 000a "
                                                   "0202 0005 0000 616263 00");
    QTest::newRow("set ip permanent")
        << Set_Ip_Request(Own, Target, 0xA0B0C0D0, {Ip("192.168.0.10"), Ip("255.255.255.0"), Ip("192.168.0.1")}, true)
        << Hex("020000000002 020000000001 8892 fefd 04 00 a0b0c0d0 0000 0012 "
               "0102 000e 0001 c0a8000a ffffff00 c0a80001");
    QTest::newRow("signal") << Signal_Request(Own, Target, 2)
                            << Hex("020000000002 020000000001 8892 fefd 04 00 00000002 0000 0008 0503 0004 0000 0100");
    // A name long enough that the frame needs no Ethernet padding.
    const QByteArray Long_Name(40, 'n');
    QTest::newRow("long name, no frame padding")
        << Identify_Name_Request(Own, 7, 1, Long_Name)
        << (Hex("010ecf000000 020000000001 8892 fefe 05 00 00000007 0001 002c 0202 0028", false) + Long_Name);
}

void Test_Dcp_Frames::Requests()
{
    QFETCH(QByteArray, Built);
    QFETCH(QByteArray, Expected);
    QCOMPARE(Built.toHex(' '), Expected.toHex(' '));
}

void Test_Dcp_Frames::Identify_Response_Read()
{
    const auto Read = Read_Identify_Response(As_Bytes(Identify_Response()), Own, 0x12345678);
    QVERIFY_READ(Read);
    QCOMPARE(Read->Mac, Device);
    QCOMPARE(Read->Name, QStringLiteral("gw-1"));
    QCOMPARE(Read->Ip->Address.Text(), QStringLiteral("192.168.0.10"));
    QCOMPARE(Read->Ip->Mask.Text(), QStringLiteral("255.255.255.0"));
    QCOMPARE(Read->Ip->Gateway.Text(), QStringLiteral("192.168.0.1"));
    QCOMPARE(Read->Ip_Setting(), Ip_State::Set);
    QVERIFY(Read->Ip_Conflict());
    QCOMPARE(Read->Vendor, QStringLiteral("GW40610"));
    QCOMPARE(Read->Vendor_Id, quint16(0x1111));
    QCOMPARE(Read->Device_Id, quint16(0x0221));
    QVERIFY(Read->Is_Gateway());
    QCOMPARE(Read->Role, quint8(1));
    QCOMPARE(Read->Options, (QList<std::pair<quint8, quint8>>{{2, 2}, {1, 2}}));
}

void Test_Dcp_Frames::Identify_Response_Behind_Vlan_Tag()
{
    const auto Read = Read_Identify_Response(As_Bytes(Identify_Response("8100 6000 8892")), Own, 0x12345678);
    QVERIFY_READ(Read);
    QCOMPARE(Read->Name, QStringLiteral("gw-1"));
    QVERIFY(Read->Is_Gateway());
}

void Test_Dcp_Frames::Identify_Response_With_Few_Blocks()
{
    // A fresh device: no name, address not set (DHCP state), another maker,
    // an unknown block skipped, the odd last block without its pad, Ethernet padding after the data.
    QByteArray Frame = Identify_Response("8892", "12345678",
                                         "0102 000e 0002 00000000 00000000 00000000"
                                         "0207 0002 0000"
                                         "0203 0006 0000 002a 0001"
                                         "0201 0003 0000 41",
                                         "0029");
    Frame.append(QByteArray(10, '\0'));
    const auto Read = Read_Identify_Response(As_Bytes(Frame), Own, 0x12345678);
    QVERIFY_READ(Read);
    QVERIFY(!Read->Name);
    QCOMPARE(Read->Ip_Setting(), Ip_State::Set_By_Dhcp);
    QVERIFY(!Read->Ip_Conflict());
    QCOMPARE(Read->Vendor, QStringLiteral("A"));
    QCOMPARE(Read->Vendor_Id, quint16(0x002a));
    QVERIFY(!Read->Is_Gateway());
    QVERIFY(!Read->Role);
}

void Test_Dcp_Frames::Malformed_data()
{
    QTest::addColumn<QByteArray>("Frame");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("shorter than an Ethernet header") << QByteArray::fromHex("020000000001 001122334455 88");
    QTest::newRow("another EtherType") << Identify_Response("0800");
    QTest::newRow("VLAN tag cut") << QByteArray::fromHex("020000000001 001122334455 8100 60");
    QTest::newRow("VLAN tag carrying another type") << Identify_Response("8100 6000 0800");
    QTest::newRow("DCP header cut") << QByteArray::fromHex("020000000001 001122334455 8892 feff 05 01 12345678 0000 00");
    QTest::newRow("DCPDataLength beyond the frame") << Identify_Response("8892", "12345678", Response_Blocks, "0047");
    QTest::newRow("cut in the middle of a block") << Identify_Response().chopped(3);
    QTest::newRow("block header cut") << Identify_Response("8892", "12345678", "0202 00", "0003");
    QTest::newRow("block length beyond the data") << Identify_Response("8892", "12345678", "0202 0009 0000 67772d31", "000a");
    QTest::newRow("block too short for BlockInfo") << Identify_Response("8892", "12345678", "0202 0001 00 00", "0006");
    QTest::newRow("IP parameter of 11 bytes") << Identify_Response("8892", "12345678", "0102 000d 0001 c0a8000a ffffff00 c0a800 00", "0012");
    QTest::newRow("IP parameter of 13 bytes") << Identify_Response("8892", "12345678", "0102 000f 0001 c0a8000a ffffff00 c0a80001 00 00", "0014");
    QTest::newRow("DeviceID of 3 bytes") << Identify_Response("8892", "12345678", "0203 0005 0000 1111 02 00", "000a");
    QTest::newRow("DeviceRole of 1 byte") << Identify_Response("8892", "12345678", "0204 0003 0000 01 00", "0008");
    QTest::newRow("DeviceOptions of odd length") << Identify_Response("8892", "12345678", "0205 0005 0000 0202 01 00", "000a");
    QTest::newRow("another Xid") << Identify_Response("8892", "12345679");
    QTest::newRow("a request, not a response") << Identify_Response("8892", "12345678", Response_Blocks, "0046", "fefe 05 00");
    QTest::newRow("service refused") << Identify_Response("8892", "12345678", Response_Blocks, "0046", "feff 05 05");
    QTest::newRow("another service") << Identify_Response("8892", "12345678", Response_Blocks, "0046", "feff 04 01");
    QByteArray Other_Destination = Identify_Response();
    Other_Destination[5] = 0x02;
    QTest::newRow("addressed to another station") << Other_Destination;
    QByteArray Multicast = Identify_Response();
    Multicast.replace(0, 6, QByteArray::fromHex("010ecf000000"));
    QTest::newRow("sent to the multicast address") << Multicast;
    // No device sends from a group, the broadcast, the all-zero or our own MAC.
    for (const auto& [Name, Source] : {std::pair{"sent from the identify multicast", "010ecf000000"},
                                       {"sent from another group address", "01005e000001"},
                                       {"sent from the broadcast address", "ffffffffffff"},
                                       {"sent from the all-zero address", "000000000000"},
                                       {"sent from this station's own address", "020000000001"}}) {
        QByteArray From_Group = Identify_Response();
        From_Group.replace(6, 6, QByteArray::fromHex(Source));
        QTest::newRow(Name) << From_Group;
    }
    QTest::newRow("station name of 241 bytes")
        << Identify_Response("8892", "12345678", QByteArray("0202 00f3 0000 " + QByteArray(241, 'a').toHex() + "00").constData(), "00f8");
    QTest::newRow("vendor text of 256 bytes")
        << Identify_Response("8892", "12345678", QByteArray("0201 0102 0000 " + QByteArray(256, 'v').toHex()).constData(), "0106");
}

void Test_Dcp_Frames::Malformed()
{
    QFETCH(QByteArray, Frame);
    // Read from a buffer of exactly the frame's size, so a read beyond it is caught by the sanitizers.
    const std::vector<quint8> Exact(Frame.begin(), Frame.end());
    const auto Read = Read_Identify_Response(Bytes(Exact), Own, 0x12345678);
    QVERIFY(!Read);
    QVERIFY(!Read.error().isEmpty());
    QVERIFY(!Read_Set_Response(Bytes(Exact), Own, 0x12345678));
}

void Test_Dcp_Frames::Set_Response_Read_data()
{
    QTest::addColumn<QByteArray>("Frame");
    QTest::addColumn<int>("Results");
    QTest::addColumn<int>("Error");
    QTest::newRow("name set") << QByteArray::fromHex("020000000001 001122334455 8892 fefd 04 01 00000009 0000 0008 "
                                                     "0504 0003 0202 00 00")
                              << 1 << 0;
    QTest::newRow("address refused in operation")
        << QByteArray::fromHex("020000000001 001122334455 8892 fefd 04 01 00000009 0000 0008 0504 0003 0102 06 00") << 1 << 6;
    QTest::newRow("odd last block without pad")
        << QByteArray::fromHex("020000000001 001122334455 8892 fefd 04 01 00000009 0000 0007 0504 0003 0503 00") << 1 << 0;
    QTest::newRow("second block in error") << QByteArray::fromHex("020000000001 001122334455 8892 fefd 04 01 00000009 0000 0010 "
                                                                  "0504 0003 0202 00 00 0504 0003 0102 02 00")
                                           << 2 << 2;
    QTest::newRow("service not supported") << QByteArray::fromHex("020000000001 001122334455 8892 fefd 04 05 00000009 0000 0000")
                                           << 1 << 1;
    QTest::newRow("no response block") << QByteArray::fromHex("020000000001 001122334455 8892 fefd 04 01 00000009 0000 0000")
                                       << -1 << 0;
    QTest::newRow("response block of 4 bytes")
        << QByteArray::fromHex("020000000001 001122334455 8892 fefd 04 01 00000009 0000 0008 0504 0004 0202 00 00") << -1 << 0;
    QTest::newRow("another Xid")
        << QByteArray::fromHex("020000000001 001122334455 8892 fefd 04 01 0000000a 0000 0008 0504 0003 0202 00 00") << -1 << 0;
    QTest::newRow("an Identify response")
        << QByteArray::fromHex("020000000001 001122334455 8892 feff 05 01 00000009 0000 0008 0504 0003 0202 00 00") << -1 << 0;
    QTest::newRow("a Set request") << Set_Name_Request(Device, Own, 9, "gw", true) << -1 << 0;
}

void Test_Dcp_Frames::Set_Response_Read()
{
    QFETCH(QByteArray, Frame);
    QFETCH(int, Results);
    QFETCH(int, Error);
    const auto Read = Read_Set_Response(As_Bytes(Frame), Own, 9);
    QCOMPARE(Read.has_value(), Results >= 0);
    if (!Read)
        return;
    QCOMPARE(Read->Source, Device);
    QCOMPARE(Read->Results.size(), Results);
    QCOMPARE(int(Read->First_Error()), Error);
    Lang_Table English;
    English.Create_Default_Strings();
    QVERIFY(!Block_Error_Text(English, Read->First_Error()).isEmpty());
}

void Test_Dcp_Frames::Mac_Text_Round_Trip()
{
    QCOMPARE(Mac_Text(Device), QStringLiteral("00:11:22:33:44:55"));
    QCOMPARE(Parse_Mac(QStringLiteral("00-11-22-33-44-55")), std::optional(Device));
    QCOMPARE(Parse_Mac(QStringLiteral("AA:bb:CC:dd:EE:ff")), std::optional(Mac_Address{0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff}));
    for (const char* Bad : {"00:11:22:33:44", "00:11:22:33:44:5g", "00:11-22:33:44:55", "0011.2233.4455", "00:11:22:33:44:55:"})
        QVERIFY2(!Parse_Mac(QString::fromLatin1(Bad)), Bad);
}

void Test_Dcp_Frames::Longest_Texts_Are_Read()
{
    // A name of 240 bytes and a vendor text of 255, each at its bound.
    const QByteArray Blocks = "0202 00f2 0000 " + QByteArray(240, 'a').toHex() + "0201 0101 0000 " + QByteArray(255, 'v').toHex() + "00";
    const auto Read = Read_Identify_Response(As_Bytes(Identify_Response("8892", "12345678", Blocks.constData(), "01fc")), Own, 0x12345678);
    QVERIFY_READ(Read);
    QCOMPARE(Read->Name->size(), 240);
    QCOMPARE(Read->Vendor->size(), 255);
}

QTEST_GUILESS_MAIN(Test_Dcp_Frames)
void Test_Dcp_Frames::Block_Error_In_The_Language_Chosen_data()
{
    QTest::addColumn<QString>("Language");
    QTest::addColumn<int>("Error");
    QTest::addColumn<QString>("Text");
    QTest::newRow("English, named") << "English" << 6 << "not possible in operation";
    QTest::newRow("German, named") << "Deutsch" << 6 << QString::fromUtf8("im Betrieb nicht möglich");
    QTest::newRow("Italian, none") << "Italiano" << 0 << "nessun errore";
    QTest::newRow("English, a code the protocol does not name") << "English" << 7 << "unknown error 7";
    QTest::newRow("French, a code the protocol does not name") << QString::fromUtf8("Français") << 255
                                                                 << "erreur inconnue 255";
}

void Test_Dcp_Frames::Block_Error_In_The_Language_Chosen()
{
    QFETCH(QString, Language);
    QFETCH(int, Error);
    QFETCH(QString, Text);
    Lang_Table Texts;
    QCOMPARE(Load_Language(Texts, QStringLiteral(SW_RESOURCES_DIR "/LANGUAGE"), Language), Language);
    QCOMPARE(Block_Error_Text(Texts, quint8(Error)), Text);
}

#include "test_dcp_frames.moc"
