// The stand-in updater reads the parameter file exactly as the configurator
// writes it, and refuses a file it cannot fully use before sending anything.

#include "ethernet_update/Update_Parameters.h"
#include "platform/Xml_File.h"
#include "protocol/Update_Protocol.h"
#include "support/Test_Files.h"
#include "update/Update_Parameter_File.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

struct Fixture {
    QTemporaryDir Dir;
    QString Exe_Dir = Dir.filePath("prog");
    QString Master = Dir.filePath("prog/MASTER");
    QString Project = Dir.filePath("prog/PROJECTS/Plant");
    QByteArray Firmware = QByteArray(3000, 'f');
    QByteArray Bank1 = QByteArray(2048, '\1');
    QByteArray Bank2 = QByteArray("bank two");

    Fixture()
    {
        Write_File(Master + "/Sim40610.sim", Firmware);
        Write_File(Project + "/bin/bank1.bin", Bank1);
        Write_File(Project + "/bin/bank2.bin", Bank2);
    }
    QString Write(int Option, bool Read_Back)
    {
        Xml_File Doc;
        Write_Update_Parameters(Doc, {"127.0.0.1", Option, Read_Back}, {Master, Project}, Exe_Dir);
        return Update_Parameter_File(Exe_Dir);
    }
};

} // namespace

class Test_Standin_Parameters : public QObject {
    Q_OBJECT
private slots:
    void Reads_What_The_Configurator_Writes_data();
    void Reads_What_The_Configurator_Writes();
    void Refuses_Unusable_Files_data();
    void Refuses_Unusable_Files();
    void Empty_Bank_File_Is_Refused();
    void Protocol_Checks();
};

void Test_Standin_Parameters::Reads_What_The_Configurator_Writes_data()
{
    QTest::addColumn<int>("Option");
    QTest::addColumn<bool>("Read_Back");
    QTest::addColumn<QList<quint32>>("Starts");
    QTest::newRow("firmware + configuration") << 0 << true << QList<quint32>{0x8000, 0x07000, 0x80000};
    QTest::newRow("firmware") << 1 << false << QList<quint32>{0x8000};
    QTest::newRow("configuration") << 2 << true << QList<quint32>{0x07000, 0x80000};
}

void Test_Standin_Parameters::Reads_What_The_Configurator_Writes()
{
    QFETCH(int, Option);
    QFETCH(bool, Read_Back);
    QFETCH(QList<quint32>, Starts);
    Fixture F;
    const auto Plan = Read_Update_Plan(F.Write(Option, Read_Back));
    QVERIFY2(Plan.has_value(), Plan ? "" : qPrintable(Plan.error()));
    QCOMPARE(Plan->Title, QStringLiteral("Korvex - SW40610 Ethernet Update"));
    QCOMPARE(Plan->Operations.size(), Starts.size());
    for (int I = 0; I < Starts.size(); ++I) {
        const Update_Operation& Op = Plan->Operations[I];
        QCOMPARE(Op.Start_Address, Starts[I]);
        QCOMPARE(Op.Device, QHostAddress(QStringLiteral("127.0.0.1")));
        QCOMPARE(Op.Port, quint16(2008));
        QCOMPARE(Op.Read_Back, Read_Back);
        QCOMPARE(Op.Go_To_App_After, I == Starts.size() - 1);
        QCOMPARE(Op.Bank_Type, quint8(Starts[I] == 0x8000 ? 1 : 2));
        const QByteArray Expected = Starts[I] == 0x8000 ? F.Firmware : Starts[I] == 0x07000 ? F.Bank1 : F.Bank2;
        QCOMPARE(Op.Data, Expected);
    }
}

void Test_Standin_Parameters::Refuses_Unusable_Files_data()
{
    // Every match of Pattern in the written file becomes Replacement.
    QTest::addColumn<QString>("Pattern");
    QTest::addColumn<QString>("Replacement");
    QTest::addColumn<QString>("Reason");
    QTest::newRow("not XML") << "</Ethernet_Update>$" << "" << "not well-formed";
    QTest::newRow("other root") << "Ethernet_Update>" << "Update>" << "root element is not Ethernet_Update";
    QTest::newRow("unknown version") << "<Version>1000<" << "<Version>2000<" << "unknown Version";
    QTest::newRow("address of three parts") << "<IP_Address_Dev>127.0.0.1<" << "<IP_Address_Dev>127.0.1<"
                                            << "IP_Address_Dev is not an IPv4 address";
    QTest::newRow("address with a blank part") << "<IP_Address_Dev>127.0.0.1<" << "<IP_Address_Dev>127..0.1<"
                                               << "IP_Address_Dev is not an IPv4 address";
    QTest::newRow("operation address of a name") << "<Ope_IP_Address/>" << "<Ope_IP_Address>gateway</Ope_IP_Address>"
                                                 << "Operation 1: element Ope_IP_Address is not an IPv4 address";
    QTest::newRow("port missing") << "<Ope_Port>2008</Ope_Port>" << ""
                                  << "Operation 1: element Ope_Port is missing";
    QTest::newRow("port too large") << "<Ope_Port>2008<" << "<Ope_Port>70000<"
                                    << "Ope_Port must be a number from 1 to 65535";
    QTest::newRow("start address not a number") << ">0x07000<" << ">0x7G00<"
                                                << "Operation 2: element Ope_Start_Address";
    QTest::newRow("bank type 3") << "<Ope_Bank_Type>1<" << "<Ope_Bank_Type>3<" << "Ope_Bank_Type";
    QTest::newRow("read back yes") << "<Ope_Read_Back>1<" << "<Ope_Read_Back>yes<" << "Ope_Read_Back";
    QTest::newRow("no operation") << "<Operations>.*</Operations>" << "<Operations></Operations>"
                                  << "Operations holds no Operation";
    QTest::newRow("firmware missing") << "Sim40610.sim" << "Sim40611.sim" << "Operation 1: file not found";
    QTest::newRow("empty file name") << "<Ope_FileName>[^<]*</Ope_FileName>" << "<Ope_FileName/>"
                                     << "Operation 1: element Ope_FileName is empty";
}

void Test_Standin_Parameters::Refuses_Unusable_Files()
{
    QFETCH(QString, Pattern);
    QFETCH(QString, Replacement);
    QFETCH(QString, Reason);
    Fixture F;
    const QString Path = F.Write(0, true);
    QString Text = QString::fromUtf8(Read_File(Path));
    const QRegularExpression Match(Pattern);
    QVERIFY(Text.contains(Match));
    Text.replace(Match, Replacement);
    Write_File(Path, Text.toUtf8());
    const auto Plan = Read_Update_Plan(Path);
    QVERIFY(!Plan.has_value());
    QVERIFY2(Plan.error().contains(Reason), qPrintable(Plan.error()));
}

void Test_Standin_Parameters::Empty_Bank_File_Is_Refused()
{
    Fixture F;
    Write_File(F.Project + "/bin/bank2.bin", {});
    const auto Plan = Read_Update_Plan(F.Write(2, true));
    QVERIFY(!Plan.has_value());
    QVERIFY2(Plan.error().contains("Operation 2: file is empty"), qPrintable(Plan.error()));
}

void Test_Standin_Parameters::Protocol_Checks()
{
    using namespace Update_Protocol;
    QCOMPARE(Crc32("123456789"), 0xCBF43926U);
    Packet P;
    P.Command = quint8(Command::Write);
    P.Session = 0xA1B2C3D4;
    P.Sequence = 7;
    P.Address = 0x80200;
    P.Payload = "abc";
    const QByteArray Bytes = Encode(P);
    QCOMPARE(Bytes.size(), Header_Size + 3);
    const auto Back = Decode(Bytes);
    QVERIFY(Back.has_value());
    QCOMPARE(Back->Session, P.Session);
    QCOMPARE(Back->Address, P.Address);
    QCOMPARE(Back->Payload, P.Payload);
    QVERIFY(!Decode(Bytes.left(Bytes.size() - 1)).has_value()); // cut short
    QVERIFY(!Decode(Bytes + "x").has_value());                    // trailing bytes
    QVERIFY(!Decode(QByteArray("XXXX") + Bytes.mid(4)).has_value());

    // The parameter block of a project without files: sum 3466 (8A 0D 00 00).
    QByteArray Block(2048, '\0');
    Block[1512 + 2] = 8; // the data area address 0x80000, the only non-zero field in this sketch
    QVERIFY(!Parameter_Block_Checksum_Ok(Block));
    const quint32 Sum = Parameter_Block_Sum(Block);
    Block[2044] = char(Sum & 0xFF);
    Block[2045] = char(Sum >> 8);
    QVERIFY(Parameter_Block_Checksum_Ok(Block));
    QVERIFY(!Parameter_Block_Checksum_Ok(Block.left(2047)));
}

QTEST_GUILESS_MAIN(Test_Standin_Parameters)
#include "test_standin_parameters.moc"
