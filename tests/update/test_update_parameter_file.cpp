#include "platform/Xml_File.h"
#include "foundation/Workspace.h"
#include "support/Test_Files.h"
#include "update/Update_Parameter_File.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

namespace {

using Element_List = QList<std::pair<QString, QString>>;

// The children of a node as (name, text) pairs, in file order.
Element_List Children_Of(pugi::xml_node Node)
{
    Element_List List;
    for (pugi::xml_node Child : Node.children())
        List.append({QString::fromUtf8(Child.name()), QString::fromUtf8(Child.child_value())});
    return List;
}

Element_List Expected_Operation(const QString& File, const QString& Start, const QString& Bank,
                                const QString& Read_Back, const QString& Css, const QString& Go_To_App)
{
    return {{"Ope_Protection_Enabled", ""},
            {"Ope_GoToBoot_Before", "0"},
            {"Ope_GoToApp_Before", "0"},
            {"Ope_IP_Address", ""},
            {"Ope_Port", "2008"},
            {"Ope_Port_Sec", "2007"},
            {"Ope_Erase_Memory", "0"},
            {"Ope_FileName", File},
            {"Ope_Start_Address", Start},
            {"Ope_Memory_Type", "0"},
            {"Ope_Bank_Type", Bank},
            {"Ope_Read_Back", Read_Back},
            {"Ope_Write_CSS", Css},
            {"Ope_Address_CSS", "0x07A00"},
            {"Ope_Command_CSS", "0x02"},
            {"Ope_Write_Internal_Data", "0"},
            {"Ope_WID_Address", "0x07810"},
            {"Ope_WID_Command", "0x02"},
            {"Ope_WID_Data", "0x00, 0x00, 0x00, 0x01"},
            {"Ope_GoToApp_After", Go_To_App}};
}

} // namespace

class Test_Update_Parameter_File : public QObject {
    Q_OBJECT
private slots:
    void Options_And_Read_Back_data();
    void Options_And_Read_Back();
    void Rewrites_Whole_File();
    void Save_Failure_Raises();
};

void Test_Update_Parameter_File::Options_And_Read_Back_data()
{
    QTest::addColumn<int>("Option");
    QTest::addColumn<bool>("Read_Back");
    for (int Option = 0; Option < 3; ++Option)
        for (bool Read_Back : {true, false})
            QTest::addRow("option %d, read back %s", Option, Read_Back ? "on" : "off") << Option << Read_Back;
}

void Test_Update_Parameter_File::Options_And_Read_Back()
{
    QFETCH(int, Option);
    QFETCH(bool, Read_Back);
    QTemporaryDir Dir;
    const QString Exe_Dir = Dir.path();
    const QString Master = Workspace::Join(Exe_Dir, "MASTER");
    const QString Project = Workspace::Join(Workspace::Join(Exe_Dir, "PROJECTS"), "Plant 1");

    Xml_File Doc;
    Write_Update_Parameters(Doc, {QStringLiteral("192.168.2.205"), Option, Read_Back}, {Master, Project}, Exe_Dir);

    const QByteArray Bytes = Test_Support::Read_File(QDir(Exe_Dir).filePath("Ethernet_Update.xml"));
    QVERIFY(Bytes.startsWith("<Ethernet_Update>")); // root first, no declaration, no byte-order mark
    pugi::xml_document Read;
    QVERIFY(Read.load_buffer(Bytes.constData(), static_cast<size_t>(Bytes.size())));
    const pugi::xml_node Root = Read.first_child();
    QCOMPARE(QString::fromUtf8(Root.name()), QStringLiteral("Ethernet_Update"));
    QVERIFY(!Root.next_sibling()); // nothing after the root

    const Element_List Head = Children_Of(Root);
    const Element_List Expected_Head{{"Version", "1000"},
                                     {"Title", "Korvex - SW40610 Ethernet Update"},
                                     {"IP_Address_Dev", "192.168.2.205"},
                                     {"Application_Port", "10000"},
                                     {"Boot_Port", "2008"},
                                     {"Boot_Port_Sec", "2007"},
                                     {"Address_Protection", "0x07800"},
                                     {"Protections", ""},
                                     {"Operations", ""}};
    QCOMPARE(Head, Expected_Head);
    QCOMPARE(Children_Of(Root.child("Protections")), (Element_List{{"Protection", "0x221"}}));

    const QString Bit = Read_Back ? "1" : "0";
    // Written with the system's separators, as the updater reads them.
    const QString Firmware = QDir::toNativeSeparators(Master + "/Sim40610.sim");
    const QString Bin = QDir::toNativeSeparators(Project + "/bin/");
    QList<Element_List> Expected;
    if (Option == 0 || Option == 1)
        Expected.append(Expected_Operation(Firmware, "0x8000", "1", Bit, "1", Option == 1 ? "1" : "0"));
    if (Option == 0 || Option == 2) {
        Expected.append(Expected_Operation(Bin + "bank1.bin", "0x07000", "2", Bit, "0", "0"));
        Expected.append(Expected_Operation(Bin + "bank2.bin", "0x80000", "2", Bit, "0", "1"));
    }
    QList<Element_List> Operations;
    for (pugi::xml_node Op : Root.child("Operations").children()) {
        QCOMPARE(QString::fromUtf8(Op.name()), QStringLiteral("Operation"));
        Operations.append(Children_Of(Op));
    }
    QCOMPARE(Operations, Expected);
    // An empty element has no text node at all.
    QVERIFY(!Root.child("Operations").first_child().child("Ope_IP_Address").first_child());
}

void Test_Update_Parameter_File::Rewrites_Whole_File()
{
    QTemporaryDir Dir;
    Xml_File Doc;
    Write_Update_Parameters(Doc, {"10.0.0.1", 0, true}, {"/m", "/p"}, Dir.path());
    // The same document object, reused for a smaller request, holds only the new one.
    Write_Update_Parameters(Doc, {" 127.0.0.1", 1, false}, {"/m", "/p"}, Dir.path());
    pugi::xml_document Read;
    QVERIFY(Read.load_file(QDir(Dir.path()).filePath("Ethernet_Update.xml").toLocal8Bit().constData()));
    // The address is written as typed, not re-formatted.
    QCOMPARE(QString::fromUtf8(Read.first_child().child_value("IP_Address_Dev")), QStringLiteral(" 127.0.0.1"));
    QCOMPARE(std::distance(Read.first_child().child("Operations").children().begin(),
                           Read.first_child().child("Operations").children().end()),
             1);
    QVERIFY(!Read.first_child().next_sibling());
}

void Test_Update_Parameter_File::Save_Failure_Raises()
{
    QTemporaryDir Dir;
    // A folder in the way of the file makes every save fail.
    QVERIFY(QDir(Dir.path()).mkdir("Ethernet_Update.xml"));
    Xml_File Doc;
    QVERIFY_THROWS_EXCEPTION(Update_File_Error,
                             Write_Update_Parameters(Doc, {"127.0.0.1", 0, true}, {"/m", "/p"}, Dir.path()));
    try {
        Write_Update_Parameters(Doc, {"127.0.0.1", 0, true}, {"/m", "/p"}, Dir.path());
    } catch (const Update_File_Error& Error) {
        QVERIFY(QString::fromUtf8(Error.what()).contains("Ethernet_Update.xml"));
    }
}

QTEST_GUILESS_MAIN(Test_Update_Parameter_File)
#include "test_update_parameter_file.moc"
