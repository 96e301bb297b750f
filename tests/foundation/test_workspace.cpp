#include "foundation/Workspace.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using Test_Support::Read_File;
using Test_Support::Write_File;

class Test_Workspace : public QObject {
    Q_OBJECT
private slots:
    void Settings_Read_Rules_data();
    void Settings_Read_Rules();
    void Missing_Settings_Give_Defaults();
    void Save_Writes_Exact_Tree();
    void Save_Failure_Keeps_Old_File();
    void Restore_Project_data();
    void Restore_Project();
    void Create_Directories_First_Start();
    void Init_Language_Falls_Back_To_English();
};

void Test_Workspace::Settings_Read_Rules_data()
{
    QTest::addColumn<QByteArray>("File");
    QTest::addColumn<QString>("Project");
    QTest::addColumn<QString>("Ip");
    QTest::addColumn<QString>("Language");
    QTest::addColumn<QString>("Flags"); // internet, update, jump, autosize as 0/1

    const QByteArray Full = "<Conf_Settings><lastproj><projectname>Plant A</projectname></lastproj>"
                            "<lastipadd><ipaddress>10.1.2.3</ipaddress></lastipadd>"
                            "<lastlang><language>Italiano</language></lastlang>"
                            "<lastinternet><enable_internet>1</enable_internet><enable_update>1</enable_update>"
                            "<enable_jump_field_tables>1</enable_jump_field_tables>"
                            "<Double_Click_Auto_Size>1</Double_Click_Auto_Size></lastinternet></Conf_Settings>";
    QTest::newRow("all fields") << Full << "Plant A" << "10.1.2.3" << "Italiano" << "1111";
    QByteArray Other_Root = Full;
    Other_Root.replace("Conf_Settings", "Whatever");
    QTest::newRow("root of another name") << Other_Root << "Plant A" << "10.1.2.3" << "Italiano" << "1111";
    QTest::newRow("comment before root") << QByteArray("<!-- note -->") + Full << "" << "192.168.2.205"
                                         << "English" << "0000";
    QTest::newRow("declaration before root") << QByteArray("<?xml version=\"1.0\"?>") + Full << ""
                                             << "192.168.2.205" << "English" << "0000";
    QTest::newRow("no lastinternet")
        << QByteArray("<Conf_Settings><lastproj><projectname>P</projectname></lastproj>"
                      "<lastipadd><ipaddress>1.2.3.4</ipaddress></lastipadd>"
                      "<lastlang><language>Deutsch</language></lastlang></Conf_Settings>")
        << "P" << "1.2.3.4" << "Deutsch" << "0000";
    QTest::newRow("booleans only exactly 1")
        << QByteArray("<C><lastinternet><enable_internet>true</enable_internet><enable_update> 1</enable_update>"
                      "<enable_jump_field_tables></enable_jump_field_tables>"
                      "<Double_Click_Auto_Size>1</Double_Click_Auto_Size></lastinternet></C>")
        << "" << "192.168.2.205" << "English" << "0001";
    QTest::newRow("element names match case")
        << QByteArray("<C><lastproj><ProjectName>X</ProjectName></lastproj><LastIpAdd><ipaddress>9.9.9.9</ipaddress>"
                      "</LastIpAdd><lastinternet><Enable_Internet>1</Enable_Internet><enable_update>1</enable_update>"
                      "</lastinternet></C>")
        << "" << "192.168.2.205" << "English" << "0100";
    QTest::newRow("one missing field does not stop the others")
        << QByteArray("<C><lastipadd/><lastlang><language>Français</language></lastlang></C>") << ""
        << "192.168.2.205" << QString::fromUtf8("Français") << "0000";
    QTest::newRow("not well-formed") << QByteArray("<C><lastproj><projectname>P</lastproj>") << ""
                                     << "192.168.2.205" << "English" << "0000";
    QTest::newRow("empty file") << QByteArray() << "" << "192.168.2.205" << "English" << "0000";
}

void Test_Workspace::Settings_Read_Rules()
{
    QFETCH(QByteArray, File);
    QFETCH(QString, Project);
    QFETCH(QString, Ip);
    QFETCH(QString, Language);
    QFETCH(QString, Flags);
    QTemporaryDir Dir;
    Workspace Space(Dir.path());
    Write_File(Space.Settings_File(), File);
    Space.Read_Settings();
    QCOMPARE(Space.Project_Name, Project);
    QCOMPARE(Space.Last_IP_Address, Ip);
    QCOMPARE(Space.Language_Name, Language);
    const QString Got = QString("%1%2%3%4")
                            .arg(int(Space.Enable_Internet))
                            .arg(int(Space.Enable_Update))
                            .arg(int(Space.Enable_Jump_Field_Tables))
                            .arg(int(Space.Double_Click_Auto_Size));
    QCOMPARE(Got, Flags);
}

void Test_Workspace::Missing_Settings_Give_Defaults()
{
    QTemporaryDir Dir;
    Workspace Space(Dir.path());
    Space.Project_Name = "stale";
    Space.Enable_Update = true;
    Space.Read_Settings();
    QCOMPARE(Space.Project_Name, QString());
    QCOMPARE(Space.Last_IP_Address, QString("192.168.2.205"));
    QCOMPARE(Space.Language_Name, QString("English"));
    QVERIFY(!Space.Enable_Update);
    QVERIFY(!Space.Update_Timer_Wanted());
}

void Test_Workspace::Save_Writes_Exact_Tree()
{
    QTemporaryDir Dir;
    Workspace Space(Dir.path());
    Space.Project_Name = "A & <B>";
    Space.Last_IP_Address = "127.0.0.1";
    Space.Language_Name = "Italiano";
    Space.Enable_Internet = true;
    Space.Double_Click_Auto_Size = true;
    QVERIFY(Space.Save_Setting().has_value());
    QCOMPARE(Read_File(Space.Settings_File()),
             QByteArray("<Conf_Settings><lastproj><projectname>A &amp; &lt;B&gt;</projectname></lastproj>"
                        "<lastipadd><ipaddress>127.0.0.1</ipaddress></lastipadd>"
                        "<lastlang><language>Italiano</language></lastlang>"
                        "<lastinternet><enable_internet>1</enable_internet><enable_update>0</enable_update>"
                        "<enable_jump_field_tables>0</enable_jump_field_tables>"
                        "<Double_Click_Auto_Size>1</Double_Click_Auto_Size></lastinternet></Conf_Settings>"));
    Workspace Again(Dir.path());
    Again.Read_Settings();
    QCOMPARE(Again.Project_Name, Space.Project_Name);
    QVERIFY(Again.Enable_Internet && !Again.Enable_Update && Again.Double_Click_Auto_Size);
}

void Test_Workspace::Save_Failure_Keeps_Old_File()
{
    QTemporaryDir Dir;
    Workspace Space(Dir.path() + "/missing-folder");
    const auto Result = Space.Save_Setting();
    QVERIFY(!Result.has_value());
    QVERIFY(!Result.error().System_Text.isEmpty());
}

void Test_Workspace::Restore_Project_data()
{
    QTest::addColumn<bool>("Exists");
    QTest::addColumn<QString>("Name");
    QTest::newRow("existing configuration") << true << "Line 4";
    QTest::newRow("deleted configuration") << false << "Line 4";
    // Paths that exist but are no configuration directory below PROJECTS.
    QTest::newRow("parent folder") << false << "..";
    QTest::newRow("path through parent") << false << "../PROJECTS";
    QTest::newRow("nested folder") << false << "Line 4/bin";
    QTest::newRow("current folder") << false << ".";
    QTest::newRow("symbolic link to a configuration") << false << "Linked";
}

void Test_Workspace::Restore_Project()
{
    QFETCH(bool, Exists);
    QFETCH(QString, Name);
    QTemporaryDir Dir;
    Workspace Space(Dir.path());
    Space.Create_Directories();
    if (Exists || Name != "Line 4")
        QVERIFY(QDir().mkpath(Space.Projects_Dir + "/Line 4/bin"));
    QVERIFY(QFile::link(Space.Projects_Dir + "/Line 4", Space.Projects_Dir + "/Linked"));
    Write_File(Space.Settings_File(),
               "<Conf_Settings><lastproj><projectname>" + Name.toUtf8() + "</projectname></lastproj></Conf_Settings>");
    Space.Read_Settings();
    QCOMPARE(Space.Restore_Project(), Exists);
    QCOMPARE(Space.Is_Project_Active(), Exists);
    QCOMPARE(Space.Project_Name, Exists ? QString("Line 4") : QString());
    if (Exists) {
        QCOMPARE(Space.Project_Dir, Space.Projects_Dir + "/Line 4");
        QCOMPARE(Space.File_ParGen, Space.Projects_Dir + "/Line 4/ParGen.xml");
        QCOMPARE(Space.File_TLS_Known_Cert, Space.Projects_Dir + "/Line 4/TLS_Known_Cert.xml");
        QCOMPARE(Space.File_IEC61850_Variables, Space.Projects_Dir + "/Line 4/IEC61850_Variables.xml");
    }
    QVERIFY(Space.Save_Setting().has_value());
    QVERIFY(Read_File(Space.Settings_File()).contains(Exists ? "<projectname>Line 4</projectname>" : "<projectname/>"));
}

void Test_Workspace::Create_Directories_First_Start()
{
    QTemporaryDir Dir;
    Workspace Space(Dir.path());
    Space.Create_Directories();
    for (const char* Name : {"MASTER", "PROJECTS", "LANGUAGE"})
        QVERIFY2(QFileInfo(Dir.path() + "/" + Name).isDir(), Name);
}

void Test_Workspace::Init_Language_Falls_Back_To_English()
{
    QTemporaryDir Dir;
    Workspace Space(Dir.path());
    Space.Create_Directories();
    Write_File(Space.Language_Dir + "/English.lng", "STR12 = Info (en)\r\n");
    Write_File(Space.Language_Dir + "/Italiano.lng", "STR12 = Informazioni\r\n");
    Space.Language_Name = "Italiano";
    Space.Init_Language();
    QCOMPARE(Space.Str(12), QString("Informazioni"));
    Space.Language_Name = "Klingon";
    Space.Init_Language();
    QCOMPARE(Space.Language_Name, QString("English"));
    QCOMPARE(Space.Str(12), QString("Info (en)"));
    // A name that is not a plain file name inside LANGUAGE is a missing language,
    // even where the file it leads to exists.
    Write_File(Dir.path() + "/Outside.lng", "STR12 = outside\r\n");
    Write_File(Space.Language_Dir + "/sub/Nested.lng", "STR12 = nested\r\n");
    Write_File(Space.Language_Dir + "/...lng", "STR12 = dot dot\r\n");
    for (const QString& Name : QStringList{"../Outside", "sub/Nested", "sub\\Nested", "..", Dir.path() + "/Outside"}) {
        Space.Language_Name = Name;
        Space.Init_Language();
        QCOMPARE(Space.Language_Name, QString("English"));
        QCOMPARE(Space.Str(12), QString("Info (en)"));
    }
    QFile::remove(Space.Language_Dir + "/English.lng");
    Space.Language_Name = "Klingon";
    Space.Init_Language();
    QCOMPARE(Space.Str(12), QString("Information"));
}

QTEST_GUILESS_MAIN(Test_Workspace)
#include "test_workspace.moc"
