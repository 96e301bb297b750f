#include "support/File_Limit.h"
#include "editors/Par_Gen_File.h"
#include "platform/Xml_File.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

QString Fixture(const QString& Name) { return QStringLiteral(SW_TEST_DATA_DIR "/editors/") + Name; }

Lang_Table English()
{
    Lang_Table Lang;
    Lang.Create_Default_Strings();
    return Lang;
}

// Valid values to start each check from.
Par_Gen::Values Valid() { return Par_Gen::Defaults(); }

} // namespace

class Test_Par_Gen_File : public QObject {
    Q_OBJECT
private slots:
    void Missing_File_Gives_Defaults();
    void Missing_Elements_Give_Their_Defaults();
    void Hand_Edited_File_Read_By_Name();
    void Check_Box_Reading_data();
    void Check_Box_Reading();
    void Comment_First_Is_The_Root();
    void Malformed_File_Raises_With_Position();
    void Writes_All_Elements_In_Order();
    void Round_Trip_Keeps_Texts_data();
    void Round_Trip_Keeps_Texts();
    void Failed_Save_Keeps_Previous_File();
    void Save_Into_Removed_Folder_Reports_Error();
    void Check_data();
    void Check();
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
    QVERIFY(!Par_Gen::Check(Data, English()));
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
    // An empty tunnelling port cannot be saved.
    QCOMPARE(Par_Gen::Check(Data, English()), English()[572]);
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

void Test_Par_Gen_File::Check_data()
{
    QTest::addColumn<QStringList>("Changes");  // element index, value, ...
    QTest::addColumn<QString>("Message");      // empty: accepted
    const Lang_Table L = English();
    auto E = [](int Element) { return QString::number(Element); };
    using namespace Par_Gen;
    QTest::newRow("defaults") << QStringList() << QString();
    QTest::newRow("port 0") << QStringList{E(IEC61850_Server_Port), "0"} << QString();
    QTest::newRow("port 65535") << QStringList{E(IEC61850_Server_Port), "65535"} << QString();
    QTest::newRow("port hex") << QStringList{E(IEC61850_Server_Port), "$66"} << QString();
    QTest::newRow("port 10000") << QStringList{E(IEC61850_Server_Port), "10000"} << L[437];
    QTest::newRow("port 65536") << QStringList{E(IEC61850_Server_Port), "65536"} << L[437];
    QTest::newRow("port -1") << QStringList{E(IEC61850_Server_Port), "-1"} << L[437];
    QTest::newRow("port empty") << QStringList{E(IEC61850_Server_Port), ""} << L[437];
    QTest::newRow("port and IP wrong: port first")
        << QStringList{E(IEC61850_Server_Port), "x", E(PROFINET_IP1), "300"} << L[437];
    QTest::newRow("IP1 256") << QStringList{E(PROFINET_IP1), "256"} << L[560];
    QTest::newRow("IP2 trailing blank") << QStringList{E(PROFINET_IP2), "1 "} << L[561];
    QTest::newRow("IP3 leading blanks") << QStringList{E(PROFINET_IP3), "  255"} << QString();
    QTest::newRow("IP4 -1") << QStringList{E(PROFINET_IP4), "-1"} << L[563];
    QTest::newRow("SM1 hex $FF") << QStringList{E(PROFINET_SM1), "$FF"} << QString();
    QTest::newRow("SM1 hex $100") << QStringList{E(PROFINET_SM1), "$100"} << L[564];
    QTest::newRow("SM4 empty") << QStringList{E(PROFINET_SM4), ""} << L[567];
    QTest::newRow("gateway off: letters pass") << QStringList{E(PROFINET_GAT2), "abc"} << QString();
    QTest::newRow("gateway on: letters fail")
        << QStringList{E(PROFINET_EN_GAT), "1", E(PROFINET_GAT2), "abc"} << L[569];
    QTest::newRow("gateway on: 4th byte") << QStringList{E(PROFINET_EN_GAT), "1", E(PROFINET_GAT4), "256"} << L[571];
    QTest::newRow("gateway on: valid") << QStringList{E(PROFINET_EN_GAT), "1"} << QString();
    for (const char* Port : {"502", "2000", "1", "65535"})
        QTest::addRow("tunnel %s", Port) << QStringList{E(PROFINET_PORT), Port} << QString();
    for (const char* Port : {"0", "5000", "10000", "10001", "34962", "34963", "34964", "65536", ""})
        QTest::addRow("tunnel '%s'", Port) << QStringList{E(PROFINET_PORT), Port} << L[572];
    QTest::newRow("in 0") << QStringList{E(PROFINET_NB_IN), "0"} << QString();
    QTest::newRow("in 1439") << QStringList{E(PROFINET_NB_IN), "1439"} << L[573] + "1438";
    QTest::newRow("out 1439") << QStringList{E(PROFINET_NB_OUT), "1439"} << L[574] + "1438";
    QTest::newRow("out 0") << QStringList{E(PROFINET_NB_OUT), "0"} << QString();
    QTest::newRow("diagnostic off: anything")
        << QStringList{E(PROFINET_DIAGNOSTIC_ADDRESS), "zz", E(PROFINET_NB_OUT), "3"} << QString();
    QTest::newRow("diagnostic 1430 of 1438")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_DIAGNOSTIC_ADDRESS), "1430"} << QString();
    QTest::newRow("diagnostic 1431 of 1438")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_DIAGNOSTIC_ADDRESS), "1431"} << L[575] + "1430";
    QTest::newRow("diagnostic 0 of 8")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_NB_OUT), "8"} << QString();
    QTest::newRow("diagnostic 1 of 8")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_NB_OUT), "8", E(PROFINET_DIAGNOSTIC_ADDRESS), "1"}
        << L[575] + "0";
    QTest::newRow("diagnostic with 3 output bytes")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_NB_OUT), "3"} << L[575] + "-5";
    QTest::newRow("diagnostic hex output bytes")
        << QStringList{E(PROFINET_ENABLE_DIAGNOSTIC), "1", E(PROFINET_NB_OUT), "$10", E(PROFINET_DIAGNOSTIC_ADDRESS), "9"}
        << L[575] + "8";
}

void Test_Par_Gen_File::Check()
{
    QFETCH(QStringList, Changes);
    QFETCH(QString, Message);
    Par_Gen::Values Data = Valid();
    for (qsizetype I = 0; I + 1 < Changes.size(); I += 2)
        Data[Changes[I].toInt()] = Changes[I + 1];
    const std::optional<QString> Result = Par_Gen::Check(Data, English());
    QCOMPARE(Result.value_or(QString()), Message);
}

QTEST_GUILESS_MAIN(Test_Par_Gen_File)
#include "test_par_gen_file.moc"
