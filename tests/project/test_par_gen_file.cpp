#include "support/File_Limit.h"
#include "project/Par_Gen_File.h"
#include "platform/Xml_File.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

QString Fixture(const QString& Name) { return QStringLiteral(SW_TEST_DATA_DIR "/project/") + Name; }

} // namespace

class Test_Par_Gen_File : public QObject {
    Q_OBJECT
private slots:
    void Missing_File_Gives_Defaults();
    void Missing_Elements_Give_Their_Defaults();
    void Hand_Edited_File_Read_By_Name();
    void Check_Box_Reading_data();
    void Check_Box_Reading();
    void Readers_Apply_Their_Own_Rules_data();
    void Readers_Apply_Their_Own_Rules();
    void Comment_First_Is_The_Root();
    void Malformed_File_Raises_With_Position();
    void Writes_All_Elements_In_Order();
    void Round_Trip_Keeps_Texts_data();
    void Round_Trip_Keeps_Texts();
    void Failed_Save_Keeps_Previous_File();
    void Save_Into_Removed_Folder_Reports_Error();
};

void Test_Par_Gen_File::Missing_File_Gives_Defaults()
{
    QTemporaryDir Dir;
    const Par_Gen::Values Data = Par_Gen::Load(Dir.filePath("ParGen.xml"));
    QCOMPARE(Data[Par_Gen::IEC61850_Server_Port], QStringLiteral("102"));
    QCOMPARE(Data[Par_Gen::IEC61850_Server_Password], QString());
    QVERIFY(!Data.Is_Checked(Par_Gen::TLS_Server_Enable));
    QCOMPARE(QStringList({Data[Par_Gen::PROFINET_IP1], Data[Par_Gen::PROFINET_IP2], Data[Par_Gen::PROFINET_IP3],
                          Data[Par_Gen::PROFINET_IP4]}),
             (QStringList{"192", "168", "0", "5"}));
    QCOMPARE(Data[Par_Gen::PROFINET_SM4], QStringLiteral("0"));
    QCOMPARE(Data[Par_Gen::PROFINET_GAT4], QStringLiteral("1"));
    QCOMPARE(Data[Par_Gen::PROFINET_PORT], QStringLiteral("2000"));
    QCOMPARE(Data[Par_Gen::PROFINET_NAME_STA], QStringLiteral("devicename1"));
    QCOMPARE(Data[Par_Gen::PROFINET_NB_IN], QStringLiteral("1438"));
    QCOMPARE(Data[Par_Gen::PROFINET_NB_OUT], QStringLiteral("1438"));
    QCOMPARE(Data[Par_Gen::PROFINET_DIAGNOSTIC_ADDRESS], QStringLiteral("0"));
    QVERIFY(!Data.Is_Checked(Par_Gen::PROFINET_EN_GAT));
    QVERIFY(!Data.Is_Checked(Par_Gen::PROFINET_ENABLE_DIAGNOSTIC));
}

void Test_Par_Gen_File::Missing_Elements_Give_Their_Defaults()
{
    const Par_Gen::Values Data = Par_Gen::Load(Fixture("ParGen_Port_Only.xml"));
    Par_Gen::Values Expected = Par_Gen::Defaults();
    Expected[Par_Gen::PROFINET_PORT] = QStringLiteral("502");
    QCOMPARE(Data.Text, Expected.Text);
}

void Test_Par_Gen_File::Hand_Edited_File_Read_By_Name()
{
    const Par_Gen::Values Data = Par_Gen::Load(Fixture("ParGen_Hand_Edited.xml"));
    QCOMPARE(Data[Par_Gen::PROFINET_PORT], QString());  // present but empty: no default
    QCOMPARE(Data[Par_Gen::IEC61850_Server_Password], QStringLiteral("   "));
    QCOMPARE(Data[Par_Gen::PROFINET_NAME_STA], QStringLiteral("gw-01"));
    QCOMPARE(Data[Par_Gen::IEC61850_Server_Port], QStringLiteral("102"));
    QVERIFY(Data.Is_Checked(Par_Gen::TLS_Server_Enable));
    QVERIFY(Data.Is_Checked(Par_Gen::TLS_Server_Enable_Known_Cert));
    QVERIFY(!Data.Is_Checked(Par_Gen::PROFINET_EN_GAT));
    QVERIFY(Data.Is_Checked(Par_Gen::PROFINET_ENABLE_DIAGNOSTIC));
}

void Test_Par_Gen_File::Check_Box_Reading_data()
{
    QTest::addColumn<QString>("Stored");
    QTest::addColumn<bool>("Integer_Rule");
    QTest::addColumn<bool>("Exact_Rule");
    QTest::newRow("1") << "1" << true << true;
    QTest::newRow("01") << "01" << true << false;
    QTest::newRow("leading blank") << " 1" << true << false;
    QTest::newRow("hex") << "$1" << true << false;
    QTest::newRow("trailing blank") << "1 " << false << false;
    QTest::newRow("0") << "0" << false << false;
    QTest::newRow("2") << "2" << false << false;
    QTest::newRow("word") << "true" << false << false;
    QTest::newRow("empty") << "" << false << false;
}

void Test_Par_Gen_File::Check_Box_Reading()
{
    QFETCH(QString, Stored);
    QFETCH(bool, Integer_Rule);
    QFETCH(bool, Exact_Rule);
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("ParGen.xml");
    const QByteArray V = Stored.toUtf8();
    Write_File(Path, "<Par_Gen><TLS_Server_Enable>" + V + "</TLS_Server_Enable><TLS_Server_Enable_Known_Cert>" + V
                         + "</TLS_Server_Enable_Known_Cert><PROFINET_EN_GAT>" + V
                         + "</PROFINET_EN_GAT><PROFINET_ENABLE_DIAGNOSTIC>" + V
                         + "</PROFINET_ENABLE_DIAGNOSTIC></Par_Gen>");
    const Par_Gen::Values Data = Par_Gen::Load(Path);
    QCOMPARE(Data.Is_Checked(Par_Gen::TLS_Server_Enable), Integer_Rule);
    QCOMPARE(Data.Is_Checked(Par_Gen::TLS_Server_Enable_Known_Cert), Integer_Rule);
    QCOMPARE(Data.Is_Checked(Par_Gen::PROFINET_EN_GAT), Exact_Rule);
    QCOMPARE(Data.Is_Checked(Par_Gen::PROFINET_ENABLE_DIAGNOSTIC), Exact_Rule);
}

void Test_Par_Gen_File::Readers_Apply_Their_Own_Rules_data()
{
    QTest::addColumn<int>("Element");
    QTest::addColumn<QVariant>("Stored");  // invalid: the element is absent
    QTest::addColumn<QString>("Editor");
    QTest::addColumn<QString>("Image");
    QTest::addColumn<QString>("Gsdml");    // empty: the generator does not read it
    using namespace Par_Gen;
    const QVariant Absent;
    QTest::newRow("port absent") << int(IEC61850_Server_Port) << Absent << "102" << "102" << "";
    QTest::newRow("port in hexadecimal") << int(IEC61850_Server_Port) << QVariant(" 0x10") << " 0x10" << "16" << "";
    QTest::newRow("port not a number") << int(IEC61850_Server_Port) << QVariant("port") << "port" << "102" << "";
    QTest::newRow("TLS enable 2") << int(TLS_Server_Enable) << QVariant("2") << "0" << "2" << "";
    QTest::newRow("TLS enable 01") << int(TLS_Server_Enable) << QVariant("01") << "1" << "1" << "";
    QTest::newRow("known certificates absent") << int(TLS_Server_Enable_Known_Cert) << Absent << "0" << "0" << "";
    QTest::newRow("gateway 01") << int(PROFINET_EN_GAT) << QVariant("01") << "0" << "0" << "";
    QTest::newRow("gateway 1") << int(PROFINET_EN_GAT) << QVariant("1") << "1" << "1" << "";
    QTest::newRow("diagnostic absent") << int(PROFINET_ENABLE_DIAGNOSTIC) << Absent << "0" << "0" << "";
    QTest::newRow("IP3 absent") << int(PROFINET_IP3) << Absent << "0" << "0" << "";
    QTest::newRow("mask 300") << int(PROFINET_SM1) << QVariant("300") << "300" << "300" << "";
    QTest::newRow("diagnostic address letters") << int(PROFINET_DIAGNOSTIC_ADDRESS) << QVariant("x") << "x" << "0" << "";
    QTest::newRow("name absent") << int(PROFINET_NAME_STA) << Absent << "devicename1" << "devicename1" << "SERIAL";
    QTest::newRow("name empty") << int(PROFINET_NAME_STA) << QVariant("") << "" << "" << "SERIAL";
    QTest::newRow("name blanks") << int(PROFINET_NAME_STA) << QVariant("  ") << "  " << "  " << "SERIAL";
    QTest::newRow("name kept untrimmed") << int(PROFINET_NAME_STA) << QVariant(" gw ") << " gw " << " gw " << " gw ";
    QTest::newRow("input bytes absent") << int(PROFINET_NB_IN) << Absent << "1438" << "1438" << "1438";
    QTest::newRow("input bytes hex") << int(PROFINET_NB_IN) << QVariant("$10") << "$10" << "16" << "16";
    QTest::newRow("output bytes letters") << int(PROFINET_NB_OUT) << QVariant("many") << "many" << "1438" << "1438";
}

void Test_Par_Gen_File::Readers_Apply_Their_Own_Rules()
{
    QFETCH(int, Element);
    QFETCH(QVariant, Stored);
    QFETCH(QString, Editor);
    QFETCH(QString, Image);
    QFETCH(QString, Gsdml);
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("ParGen.xml");
    const QByteArray Name = Par_Gen::Info(Element).Name;
    // A neighbour keeps the file from being empty when the element is absent.
    QByteArray Xml = "<Par_Gen><Other>1</Other>";
    if (Stored.isValid())
        Xml += "<" + Name + ">" + Stored.toString().toUtf8() + "</" + Name + ">";
    Write_File(Path, Xml + "</Par_Gen>");
    const Par_Gen::Stored File = Par_Gen::Stored::Read(Path);
    QVERIFY(File.Found());
    QCOMPARE(File[Element].has_value(), Stored.isValid());
    QCOMPARE(File.Text(Element, Par_Gen::Reader::Editor), Editor);
    QCOMPARE(Par_Gen::Load(Path)[Element], Editor);
    QCOMPARE(File.Text(Element, Par_Gen::Reader::Image), Image);
    if (!Gsdml.isEmpty())
        QCOMPARE(File.Text(Element, Par_Gen::Reader::Gsdml), Gsdml);
    else
        QCOMPARE(Par_Gen::Info(Element).For(Par_Gen::Reader::Gsdml).How, Par_Gen::Rule::Not_Read);
}

void Test_Par_Gen_File::Comment_First_Is_The_Root()
{
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("ParGen.xml");
    Write_File(Path, "<!--SW_VERSION = 1.000--><Par_Gen><PROFINET_PORT>502</PROFINET_PORT></Par_Gen>");
    QCOMPARE(Par_Gen::Load(Path).Text, Par_Gen::Defaults().Text);
}

void Test_Par_Gen_File::Malformed_File_Raises_With_Position()
{
    try {
        Par_Gen::Load(Fixture("ParGen_Malformed.xml"));
        QFAIL("no error raised");
    } catch (const Xml_Parse_Error& Error) {
        QVERIFY2(Error.Message().startsWith(QStringLiteral("ParGen_Malformed.xml (line 3, column ")),
                 qPrintable(Error.Message()));
        QVERIFY2(Error.Message().contains(QStringLiteral("mismatch")), qPrintable(Error.Message()));
    }
}

void Test_Par_Gen_File::Writes_All_Elements_In_Order()
{
    const QByteArray Bytes = Par_Gen::To_Bytes(Par_Gen::Defaults());
    QVERIFY(Bytes.startsWith("<Par_Gen><IEC61850_Server_Port>102</IEC61850_Server_Port><IEC61850_Server_Password/>"));
    QVERIFY(Bytes.endsWith("</Par_Gen><!--SW_VERSION = 1.000-->"));
    pugi::xml_document Doc;
    QVERIFY(Doc.load_buffer(Bytes.constData(), static_cast<size_t>(Bytes.size()), pugi::parse_default | pugi::parse_comments));
    QCOMPARE(QString::fromUtf8(Doc.first_child().name()), QStringLiteral("Par_Gen"));
    QCOMPARE(Doc.last_child().type(), pugi::node_comment);
    int I = 0;
    for (pugi::xml_node Child : Doc.first_child().children()) {
        QVERIFY(I < Par_Gen::Element_Count);
        QCOMPARE(QString::fromUtf8(Child.name()), QString::fromLatin1(Par_Gen::Info(I).Name));
        QVERIFY(!Child.first_attribute());
        ++I;
    }
    QCOMPARE(I, 27);
    Par_Gen::Values Checked = Par_Gen::Defaults();
    Checked[Par_Gen::PROFINET_EN_GAT] = QStringLiteral("1");
    QVERIFY(Par_Gen::To_Bytes(Checked).contains("<PROFINET_EN_GAT>1</PROFINET_EN_GAT>"));
    QVERIFY(Bytes.contains("<PROFINET_EN_GAT>0</PROFINET_EN_GAT>"));
}

void Test_Par_Gen_File::Round_Trip_Keeps_Texts_data()
{
    QTest::addColumn<QString>("Text");
    QTest::newRow("markup characters") << R"(a&b <c> "d" 'e' ]]> &amp;)";
    QTest::newRow("blanks only") << "   ";
    QTest::newRow("single blank") << " ";
    QTest::newRow("leading and trailing blanks") << "  102 ";
    QTest::newRow("non-Latin") << QString::fromUtf8("Пароль 密码 κωδικός ✓ 🔒");
    QTest::newRow("line breaks") << "-----BEGIN CERTIFICATE-----\nMIIB\n\nAbC=\n-----END CERTIFICATE-----\n";
    QTest::newRow("tab") << "a\tb";
    QTest::newRow("long") << QString(20000, QChar('x'));
}

void Test_Par_Gen_File::Round_Trip_Keeps_Texts()
{
    QFETCH(QString, Text);
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("ParGen.xml");
    Par_Gen::Values Data = Par_Gen::Defaults();
    for (int I : {Par_Gen::IEC61850_Server_Password, Par_Gen::TLS_Server_Key, Par_Gen::TLS_Server_Key_Password,
                  Par_Gen::TLS_Server_Server_Certificate, Par_Gen::PROFINET_NAME_STA})
        Data[I] = Text;
    QVERIFY(Par_Gen::Save(Path, Data));
    const QByteArray First = Read_File(Path);
    QVERIFY(!First.startsWith("\xEF\xBB\xBF"));
    const Par_Gen::Values Back = Par_Gen::Load(Path);
    QCOMPARE(Back.Text, Data.Text);
    QVERIFY(Par_Gen::Save(Path, Back));
    QCOMPARE(Read_File(Path), First);
}

void Test_Par_Gen_File::Failed_Save_Keeps_Previous_File()
{
#ifdef Q_OS_WIN
    QSKIP("a full disk is simulated with a file-size limit (setrlimit), which Windows has not");
#else
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("ParGen.xml");
    QVERIFY(Par_Gen::Save(Path, Par_Gen::Defaults()));
    const QByteArray Before = Read_File(Path);
    Par_Gen::Values Big = Par_Gen::Defaults();
    Big[Par_Gen::TLS_Server_Key] = QString(200000, QChar('k'));
    std::expected<void, Write_Error> Saved;
    {
        File_Size_Limit Full_Disk(16384);
        Saved = Par_Gen::Save(Path, Big);
    }
    QVERIFY(!Saved);
    QVERIFY(!Saved.error().System_Text.isEmpty());
    QCOMPARE(Read_File(Path), Before);
    QCOMPARE(QDir(Dir.path()).entryList(QDir::Files), QStringList{"ParGen.xml"});
#endif
}

void Test_Par_Gen_File::Save_Into_Removed_Folder_Reports_Error()
{
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("gone/ParGen.xml");
    const auto Saved = Par_Gen::Save(Path, Par_Gen::Defaults());
    QVERIFY(!Saved);
    QVERIFY(!Saved.error().System_Text.isEmpty());
    QVERIFY(!QFileInfo::exists(Path));
}

QTEST_GUILESS_MAIN(Test_Par_Gen_File)
#include "test_par_gen_file.moc"
