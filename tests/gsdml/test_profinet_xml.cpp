#include "gsdml/Profinet_XML.h"
#include "gsdml/TFProfinetFileName.h"
#include "platform/Xml_File.h"
#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Files.h"
#include "Gsdml_Fixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

using Gsdml_Fixtures::Expected;
using Gsdml_Fixtures::Expected_Default;
using Gsdml_Fixtures::Par_Gen_File;
using Gsdml_Fixtures::Scripted_Save_Dialog;
using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

using Values = QMap<QString, std::optional<QString>>;

// An active configuration in a temporary program folder.
struct Fixture {
    QTemporaryDir Dir;
    Workspace Space{Dir.path() + "/prog"};
    Scripted_Prompter Prompts;
    Scripted_Save_Dialog Dialog;
    Profinet_XML Generator{Space};

    Fixture()
    {
        Space.Init_Language();
        QDir().mkpath(Space.Projects_Dir + "/Plant/bin");
        Space.Activate_Project("Plant");
    }
    void Write_Par_Gen(const QByteArray& Content) { Write_File(Space.File_ParGen, Content); }
    // The file-name dialog's save of the description called Name.
    std::optional<QString> Save(const QString& Name)
    {
        return TFProfinetFileName::Save_Profinet_XML(Space, Prompts, Dialog, Name);
    }
    QString In_Project(const QString& Name) const { return Workspace::Join(Space.Project_Dir, Name); }
};

const QString Name = "GSDML-V2.31-Korvex-GW40610-20310109.xml";

} // namespace

class Test_Profinet_XML : public QObject {
    Q_OBJECT
private slots:
    void Written_Text_data();
    void Written_Text();
    void Markup_In_Name_Keeps_File_Well_Formed_data();
    void Markup_In_Name_Keeps_File_Well_Formed();
    void Line_Structure();
    void Malformed_Par_Gen_Writes_Nothing();
    void Save_Asks_For_Folder_And_Writes();
    void Save_Keeps_Name_When_User_Types_Another();
    void Save_Cancelled_Writes_Nothing();
    void Overwrite_Question_data();
    void Overwrite_Question();
    void Write_Failure_Shows_System_Error();
};

void Test_Profinet_XML::Written_Text_data()
{
    QTest::addColumn<bool>("Has_Par_Gen");
    QTest::addColumn<Values>("Par");
    QTest::addColumn<QByteArray>("Name_In_File");
    QTest::addColumn<int>("Input_Length");
    QTest::addColumn<int>("Output_Length");

    QTest::newRow("editor defaults") << true << Values{} << QByteArray("devicename1") << 1438 << 1438;
    // The controller's input is what the converter sends.
    QTest::newRow("100 in, 20 out") << true << Values{{"PROFINET_NB_IN", "100"}, {"PROFINET_NB_OUT", "20"}}
                                    << QByteArray("devicename1") << 20 << 100;
    QTest::newRow("no ParGen.xml") << false << Values{} << QByteArray("SERIAL") << 1438 << 1438;
    QTest::newRow("elements missing")
        << true << Values{{"PROFINET_NAME_STA", {}}, {"PROFINET_NB_IN", {}}, {"PROFINET_NB_OUT", {}}}
        << QByteArray("SERIAL") << 1438 << 1438;
    QTest::newRow("name of blanks only") << true << Values{{"PROFINET_NAME_STA", "   "}} << QByteArray("SERIAL")
                                         << 1438 << 1438;
    QTest::newRow("empty name") << true << Values{{"PROFINET_NAME_STA", ""}} << QByteArray("SERIAL") << 1438 << 1438;
    QTest::newRow("leading and trailing blanks kept")
        << true << Values{{"PROFINET_NAME_STA", " plc-7 "}} << QByteArray(" plc-7 ") << 1438 << 1438;
    QTest::newRow("counts not integers give the default")
        << true << Values{{"PROFINET_NB_IN", "12 "}, {"PROFINET_NB_OUT", ""}} << QByteArray("devicename1") << 1438
        << 1438;
    QTest::newRow("counts read as integers") << true << Values{{"PROFINET_NB_IN", " +8"}, {"PROFINET_NB_OUT", "$10"}}
                                             << QByteArray("devicename1") << 16 << 8;
    QTest::newRow("zero counts") << true << Values{{"PROFINET_NB_IN", "0"}, {"PROFINET_NB_OUT", "0"}}
                                 << QByteArray("devicename1") << 0 << 0;
    QTest::newRow("non-ASCII name in UTF-8") << true << Values{{"PROFINET_NAME_STA", QString::fromUtf8("stazione-è")}}
                                             << QByteArray("stazione-\xC3\xA8") << 1438 << 1438;
}

void Test_Profinet_XML::Written_Text()
{
    QFETCH(bool, Has_Par_Gen);
    QFETCH(Values, Par);
    QFETCH(QByteArray, Name_In_File);
    QFETCH(int, Input_Length);
    QFETCH(int, Output_Length);
    Fixture F;
    if (Has_Par_Gen)
        F.Write_Par_Gen(Par_Gen_File(Par));
    const QString Path = F.In_Project(Name);
    QVERIFY(F.Generator.Create_Profinet_XML(Path));
    const QByteArray Written = Read_File(Path);
    const QByteArray Want = Expected(Name_In_File, Input_Length, Output_Length);
    if (Written != Want) {
        const QByteArrayList Got_Lines = Written.split('\n');
        const QByteArrayList Want_Lines = Want.split('\n');
        for (int I = 0; I < std::min(Got_Lines.size(), Want_Lines.size()); ++I)
            QCOMPARE(QString::fromUtf8(Got_Lines[I]), QString::fromUtf8(Want_Lines[I]));
        QCOMPARE(Got_Lines.size(), Want_Lines.size());
    }
    QVERIFY(F.Prompts.Messages.isEmpty());
}

void Test_Profinet_XML::Markup_In_Name_Keeps_File_Well_Formed_data()
{
    QTest::addColumn<QString>("Station");
    QTest::addColumn<QByteArray>("Name_In_File");
    QTest::newRow("ampersand") << "a&b" << QByteArray("a&amp;b");
    QTest::newRow("quote ends no attribute") << "x\" y=\"1" << QByteArray("x&quot; y=&quot;1");
    QTest::newRow("tags") << "<plc>" << QByteArray("&lt;plc&gt;");
    QTest::newRow("entity text stays text") << "&amp;" << QByteArray("&amp;amp;");
    QTest::newRow("line break keeps 167 lines") << "a\nb\tc" << QByteArray("a&#10;b&#9;c");
}

void Test_Profinet_XML::Markup_In_Name_Keeps_File_Well_Formed()
{
    QFETCH(QString, Station);
    QFETCH(QByteArray, Name_In_File);
    Fixture F;
    F.Write_Par_Gen(Par_Gen_File({{"PROFINET_NAME_STA", Station}}));
    const QString Path = F.In_Project(Name);
    QVERIFY(F.Generator.Create_Profinet_XML(Path));
    const QByteArray Written = Read_File(Path);
    QCOMPARE(Written, Expected(Name_In_File, 1438, 1438));

    // A reader gets the name back exactly as configured.
    pugi::xml_document Doc;
    const pugi::xml_parse_result Parsed = Doc.load_buffer(Written.constData(), Written.size());
    QVERIFY2(Parsed, Parsed.description());
    const pugi::xml_node Dap = Doc.select_node("//DeviceAccessPointItem").node();
    QCOMPARE(QString::fromUtf8(Dap.attribute("ImplementationType").value()), Station);
    QCOMPARE(QString::fromUtf8(Dap.attribute("DNS_CompatibleName").value()), Station);
}

void Test_Profinet_XML::Line_Structure()
{
    Profinet_Par Par;
    Par.Name_Station = "devicename1";
    const QByteArray Text = Compose_Profinet_XML(Par);
    QCOMPARE(Text, Expected_Default());
    QVERIFY(Text.startsWith("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));
    QVERIFY(Text.endsWith("</ISO15745Profile>\r\n"));
    QCOMPARE(Text.count("\r\n"), 167);
    QCOMPARE(Text.count('\n'), 167);
    QCOMPARE(Text.count('\r'), 167);
}

void Test_Profinet_XML::Malformed_Par_Gen_Writes_Nothing()
{
    Fixture F;
    F.Write_Par_Gen("<Par_Gen><PROFINET_NB_IN>100</Par_Gen>");
    F.Dialog.Answer = F.In_Project(Name);
    try {
        F.Save(Name);
        QFAIL("a malformed general parameters file must stop the generation");
    } catch (const Xml_Parse_Error& Error) {
        QVERIFY2(Error.Message().contains("ParGen.xml"), qPrintable(Error.Message()));
        QVERIFY2(Error.Message().contains("line 1"), qPrintable(Error.Message()));
    }
    QVERIFY(!QFileInfo::exists(F.In_Project(Name)));
    QCOMPARE(QDir(F.Space.Project_Dir).entryList(QDir::Files), QStringList{"ParGen.xml"});
}

void Test_Profinet_XML::Save_Asks_For_Folder_And_Writes()
{
    Fixture F;
    F.Write_Par_Gen(Par_Gen_File());
    F.Dialog.Answer = F.In_Project(Name);
    F.Save(Name);
    QCOMPARE(F.Dialog.Requests.size(), 1);
    const Save_File_Request& Asked = F.Dialog.Requests.first();
    QCOMPARE(Asked.Initial_Folder, F.Space.Project_Dir);
    QCOMPARE(Asked.Preset_Name, Name);
    QCOMPARE(Asked.Filter_Description, QString("PROFINET XML (*.xml)"));
    QCOMPARE(Asked.Filter_Pattern, Name);
    QCOMPARE(Read_File(F.In_Project(Name)), Expected_Default());
    QVERIFY(F.Prompts.Messages.isEmpty());
}

void Test_Profinet_XML::Save_Keeps_Name_When_User_Types_Another()
{
    Fixture F;
    const QString Elsewhere = F.Dir.path() + "/export";
    QDir().mkpath(Elsewhere);
    F.Dialog.Answer = Elsewhere + "/mine.xml";
    F.Save(Name);
    QCOMPARE(QDir(Elsewhere).entryList(QDir::Files), QStringList{Name});
    QCOMPARE(Read_File(Elsewhere + "/" + Name), Expected("SERIAL", 1438, 1438));
    QVERIFY(!QFileInfo::exists(F.In_Project(Name)));
}

void Test_Profinet_XML::Save_Cancelled_Writes_Nothing()
{
    Fixture F;
    F.Write_Par_Gen("not even XML");
    F.Dialog.Answer = std::nullopt;
    F.Save(Name);  // the file is not read before a folder is chosen
    QCOMPARE(F.Dialog.Requests.size(), 1);
    QCOMPARE(QDir(F.Space.Project_Dir).entryList(QDir::Files), QStringList{"ParGen.xml"});
    QVERIFY(F.Prompts.Messages.isEmpty());
}

void Test_Profinet_XML::Overwrite_Question_data()
{
    QTest::addColumn<Prompt_Answer>("Answer");
    QTest::newRow("No keeps the old file") << Prompt_Answer::No;
    QTest::newRow("Yes replaces it") << Prompt_Answer::Yes;
}

void Test_Profinet_XML::Overwrite_Question()
{
    QFETCH(Prompt_Answer, Answer);
    Fixture F;
    const QByteArray Old = "old description, kept by the user";
    Write_File(F.In_Project(Name), Old);
    F.Dialog.Answer = F.In_Project("another.xml");
    F.Prompts.Answers = {Answer};
    F.Save(Name);
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Confirmation);
    QCOMPARE(F.Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
    QCOMPARE(F.Prompts.Messages[0].Text, QString("File already exists! Do you want to overwrite the file?"));
    QCOMPARE(Read_File(F.In_Project(Name)), Answer == Prompt_Answer::Yes ? Expected("SERIAL", 1438, 1438) : Old);
    QVERIFY(!QFileInfo::exists(F.In_Project("another.xml")));
}

void Test_Profinet_XML::Write_Failure_Shows_System_Error()
{
    Fixture F;
    // The folder vanished between choosing it and writing.
    const QString Gone = F.Dir.path() + "/gone";
    F.Dialog.Answer = Gone + "/" + Name;
    F.Save(Name);
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    // The path, then the system's own text (in the system's language).
    const QString Prefix = QDir::toNativeSeparators(Gone + "/" + Name) + ": ";
    QVERIFY2(F.Prompts.Messages[0].Text.startsWith(Prefix), qPrintable(F.Prompts.Messages[0].Text));
    QVERIFY(F.Prompts.Messages[0].Text.size() > Prefix.size());
    QVERIFY(!QFileInfo::exists(Gone));

    // A folder in the way of the file: asked about, then refused by the system, left as it was.
    const QString In_The_Way = F.In_Project(Name);
    QDir().mkpath(In_The_Way + "/inner");
    F.Dialog.Answer = F.In_Project("x.xml");
    F.Prompts.Answers = {Prompt_Answer::Yes};
    F.Save(Name);
    QCOMPARE(F.Prompts.Messages.size(), 3);
    QCOMPARE(F.Prompts.Messages[2].Kind, Prompt_Kind::Error);
    QVERIFY2(F.Prompts.Messages[2].Text.startsWith(QDir::toNativeSeparators(In_The_Way) + ": "), qPrintable(F.Prompts.Messages[2].Text));
    QVERIFY(QFileInfo(In_The_Way + "/inner").isDir());
    QCOMPARE(QDir(F.Space.Project_Dir).entryList(QDir::Files), QStringList{});
}

QTEST_GUILESS_MAIN(Test_Profinet_XML)
#include "test_profinet_xml.moc"
