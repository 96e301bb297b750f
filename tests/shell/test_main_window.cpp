#include "platform/Desktop_Shell.h"
#include "shell/TFNew_Project.h"
#include "foundation/Web_Addresses.h"
#include "shell/TFOpenConf.h"
#include "shell/TFTavorixFirmWare.h"
#include "foundation/Workspace.h"
#include "support/Program_Folder.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::When_Modal;
using Test_Support::Write_File;

namespace {

// A program folder with the given settings file and configurations.
struct Fixture : Program_Folder {
    explicit Fixture(const QByteArray& Settings = {}, const QStringList& Projects = {})
    {
        for (const QString& P : Projects)
            Add_Project(P);
        if (!Settings.isEmpty())
            Write_File(Exe_Dir + "/Tavorix.xml", Settings);
    }
    QString Label(const QString& Name) { return Find<QLabel>(Window.get(), Name)->text(); }
};

QByteArray Settings_Naming(const QString& Project)
{
    return "<Conf_Settings><lastproj><projectname>" + Project.toUtf8() + "</projectname></lastproj></Conf_Settings>";
}

} // namespace

class Test_Main_Window : public QObject {
    Q_OBJECT
private slots:
    void First_Start_And_Close();
    void Restores_Existing_Configuration();
    void Settings_Write_Failure_Shown_And_Still_Closes();
    void Refuses_Steps_Without_Configuration_data();
    void Refuses_Steps_Without_Configuration();
    void New_Configuration_data();
    void New_Configuration();
    void New_Configuration_Enter_Key_With_Empty_Name();
    void New_Configuration_Cancel_Changes_Nothing();
    void Open_Preselects_Active_Ignoring_Case();
    void Linked_Configuration_Neither_Listed_Nor_Restored();
    void Open_Without_Active_Returns_First();
    void Open_Empty_List_Deactivates();
    void Language_Change_Reapplies_Texts();
    void Layout_Sizes();
    void Configuration_Name_Shown_As_Typed();
    void Keyboard_Starts_At_New_And_Reaches_The_Link();
    void Dialogs_Open_At_The_Same_Place();
    void Title_Buttons_Draw_Their_Icons_data();
    void Title_Buttons_Draw_Their_Icons();
};

void Test_Main_Window::First_Start_And_Close()
{
    Fixture F;
    F.Start();
    for (const char* Name : {"MASTER", "PROJECTS", "LANGUAGE"})
        QVERIFY2(QFileInfo(F.Exe_Dir + "/" + Name).isDir(), Name);
    QVERIFY(!F.Space.Is_Project_Active());
    QVERIFY(!F.Window->Update_Watch.Timer_Update.isActive());
    QCOMPARE(F.Label("L_Name_Conf"), QString("None Configuration Opened "));
    QCOMPARE(F.Label("L_Name_Conf_L2"), QString("Use Step1 to open or create new configuration"));
    QCOMPARE(F.Window->windowTitle(), QString("Korvex - Configurator SW40610 - IEC61850 Server / PROFINET "));
    QCOMPARE(F.Label("L_SW_Code"), QString("SW40610"));
    QVERIFY(F.Window->close());
    QCOMPARE(Read_File(F.Exe_Dir + "/Tavorix.xml"),
             QByteArray("<Conf_Settings><lastproj><projectname/></lastproj>"
                        "<lastipadd><ipaddress>192.168.2.205</ipaddress></lastipadd>"
                        "<lastlang><language>English</language></lastlang>"
                        "<lastinternet><enable_internet>0</enable_internet><enable_update>0</enable_update>"
                        "<enable_jump_field_tables>0</enable_jump_field_tables>"
                        "<Double_Click_Auto_Size>0</Double_Click_Auto_Size></lastinternet></Conf_Settings>"));
    QVERIFY(F.Prompts.Messages.isEmpty());
}

void Test_Main_Window::Settings_Write_Failure_Shown_And_Still_Closes()
{
    Fixture F;
    // A folder in the way of the settings file makes the write fail even for root.
    QVERIFY(QDir().mkpath(F.Exe_Dir + "/Tavorix.xml"));
    F.Start();
    QVERIFY(F.Window->close());
    QVERIFY(!F.Window->isVisible());
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QVERIFY2(F.Prompts.Messages[0].Text.startsWith("The settings file could not be written: "),
             qPrintable(F.Prompts.Messages[0].Text));
    QVERIFY(QFileInfo(F.Exe_Dir + "/Tavorix.xml").isDir());
}

void Test_Main_Window::Restores_Existing_Configuration()
{
    Fixture F("<Conf_Settings><lastproj><projectname>Line 4</projectname></lastproj><lastinternet>"
              "<enable_internet>1</enable_internet><enable_update>1</enable_update></lastinternet></Conf_Settings>",
              {"Line 4"});
    F.Start();
    QVERIFY(F.Space.Is_Project_Active());
    QCOMPARE(F.Label("L_Name_Conf"), QString("Opened Configuration of the Converter : "));
    QCOMPARE(F.Label("L_Name_Conf_L2"), QString("Line 4"));
    QCOMPARE(F.Space.File_ParGen, F.Exe_Dir + "/PROJECTS/Line 4/ParGen.xml");
    QVERIFY(F.Window->Update_Watch.Timer_Update.isActive());
    QCOMPARE(F.Window->Update_Watch.Timer_Update.interval(), 60000);
}

void Test_Main_Window::Refuses_Steps_Without_Configuration_data()
{
    QTest::addColumn<QString>("Button");
    for (const char* Name : {"Btn_Prm_Gen", "Btn_IEC61850_Access", "Btn_TLS_List_Certificates", "Btn_PROFINET_XML",
                             "Btn_CreateBin"})
        QTest::newRow(Name) << QString(Name);
}

void Test_Main_Window::Refuses_Steps_Without_Configuration()
{
    QFETCH(QString, Button);
    Fixture F(Settings_Naming("Deleted"));
    F.Start();
    QVERIFY(!F.Space.Is_Project_Active());
    QTest::mouseClick(F.Button(Button), Qt::LeftButton);
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QCOMPARE(F.Prompts.Messages[0].Text, QString("Error! Project not Valid: no configuration is open. Open or create one with step 1 first."));
    QVERIFY(!QApplication::activeModalWidget());
}

void Test_Main_Window::New_Configuration_data()
{
    QTest::addColumn<QString>("Name");
    QTest::addColumn<QString>("Message"); // empty: created
    QTest::newRow("valid") << "Plant 7" << "";
    QTest::newRow("non-Latin") << QString::fromUtf8("Станция-α") << "";
    QTest::newRow("existing") << "Existing" << "Error! Name project is not valid because directory already exists";
    // A refused name says which rule it breaks.
    const QString Invalid = "Error! Name project is not valid";
    const auto Character = [&](const QString& C) {
        return Invalid + ": the character \"" + C + "\" is not allowed in a configuration name.";
    };
    const auto Invisible = [&](const QString& Code) {
        return Invalid + ": the invisible character " + Code + " is not allowed in a configuration name.";
    };
    const QString Dot = Invalid + ": a configuration name may not start with a dot.";
    const QString Blank = Invalid + ": a configuration name may not start or end with a blank.";
    QTest::newRow("parent escape") << "../x" << Character("/");
    QTest::newRow("slash") << "a/b" << Character("/");
    QTest::newRow("backslash") << "a\\b" << Character("\\");
    // Unsafe names are refused as not creatable even where the path exists.
    QTest::newRow("dot") << "." << Dot;
    QTest::newRow("dot dot") << ".." << Dot;
    QTest::newRow("existing nested folder") << "Existing/bin" << Character("/");
    QTest::newRow("file of that name") << "Plain file" << Invalid;
    QTest::newRow("control character") << "a\tb" << Invisible("U+0009");
    // Names that show something other than what they hold, or hide themselves.
    for (const char16_t Bidi : {u'\u202A', u'\u202B', u'\u202C', u'\u202D', u'\u202E', u'\u2066', u'\u2067',
                                u'\u2068', u'\u2069'})
        QTest::newRow(qPrintable(QString("bidirectional control U+%1").arg(int(Bidi), 4, 16, QChar('0'))))
            << "Plant" + QString(QChar(Bidi)) + "fdp.exe"
            << Invisible(QString("U+%1").arg(int(Bidi), 4, 16, QChar('0')).toUpper());
    QTest::newRow("next line U+0085") << QString("Plant") + QChar(0x85) + "7" << Invisible("U+0085");
    QTest::newRow("zero-width space") << QString("Plant") + QChar(0x200B) << Invisible("U+200B");
    QTest::newRow("soft hyphen") << QString("Pl") + QChar(0xAD) + "ant" << Invisible("U+00AD");
    QTest::newRow("non-character U+FFFE") << QString("Plant") + QChar(0xFFFE) << Invisible("U+FFFE");
    QTest::newRow("non-character U+FDD0") << QString("Plant") + QChar(0xFDD0) << Invisible("U+FDD0");
    QTest::newRow("non-character U+1FFFF") << "Plant" + QString::fromUcs4(U"\U0001FFFF") << Invisible("U+1FFFF");
    QTest::newRow("leading dot") << ".Plant" << Dot;
    QTest::newRow("leading blank") << " Plant" << Blank;
    QTest::newRow("trailing blank") << "Plant " << Blank;
    QTest::newRow("trailing no-break space") << QString("Plant") + QChar(0xA0) << Blank;
    QTest::newRow("blanks only") << "   " << Blank;
    QTest::newRow("too long") << QString(200, QChar(0xE9))
                              << Invalid + ": the name is 400 bytes long; a configuration name takes at most 255.";
    QTest::newRow("blank inside") << "Plant 7 b" << "";
    QTest::newRow("emoji") << QString::fromUcs4(U"Plant \U0001F3ED") << "";
    // Equal to an existing configuration when case is ignored.
    const QString Exists = "Error! Name project is not valid because directory already exists";
    QTest::newRow("existing in capitals") << "EXISTING" << Exists;
    QTest::newRow("existing in small letters") << "existing" << Exists;
    QTest::newRow("existing, accented in small letters") << QString::fromUtf8("café") << Exists;
    QTest::newRow("existing, decomposed accent") << QString::fromUtf8("Cafe\u0301") << Exists;
    // Stored composed, so it is one name on every disk.
    QTest::newRow("decomposed accent") << QString::fromUtf8("Cafe\u0301 2") << "";
}

void Test_Main_Window::New_Configuration()
{
    QFETCH(QString, Name);
    QFETCH(QString, Message);
    Fixture F({}, {"Existing", QString::fromUtf8("CAFÉ")});
    Write_File(F.Exe_Dir + "/PROJECTS/Plain file", "not a folder");
    F.Start();
    const QStringList Before = QDir(F.Dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    bool Dialog_Stayed_Open = false;
    bool Name_Focused = false;
    When_Modal([&](QWidget* Modal) {
        auto* Edit = Find<QLineEdit>(Modal, "E_New_Proj");
        Edit->setText(Name);
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_OK"), Qt::LeftButton);
        Dialog_Stayed_Open = Modal->isVisible();
        Name_Focused = Modal->focusWidget() == Edit && Edit->selectedText() == Edit->text();
        if (Dialog_Stayed_Open)
            QTest::mouseClick(Find<QPushButton>(Modal, "Btn_Cancel"), Qt::LeftButton);
    });
    QTest::mouseClick(F.Button("Btn_New"), Qt::LeftButton);
    if (Message.isEmpty()) {
        Name = Name.normalized(QString::NormalizationForm_C);
        QVERIFY(F.Prompts.Messages.isEmpty());
        QVERIFY(!Dialog_Stayed_Open);
        QVERIFY(QFileInfo(F.Exe_Dir + "/PROJECTS/" + Name + "/bin").isDir());
        QVERIFY(QDir(F.Exe_Dir + "/PROJECTS").entryList(QDir::Dirs).contains(Name));
        QCOMPARE(F.Space.Project_Name, Name);
        QCOMPARE(F.Label("L_Name_Conf_L2"), Name);
        QCOMPARE(F.Space.File_ParGen, F.Exe_Dir + "/PROJECTS/" + Name + "/ParGen.xml");
        QVERIFY(!QFileInfo::exists(F.Exe_Dir + "/Tavorix.xml"));
    } else {
        QCOMPARE(F.Prompts.Texts(), QStringList{Message});
        QVERIFY(Dialog_Stayed_Open);
        QVERIFY(Name_Focused);
        QVERIFY(!F.Space.Is_Project_Active());
        QCOMPARE(QDir(F.Exe_Dir + "/PROJECTS").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{QString::fromUtf8("CAFÉ"), "Existing", "Plain file"}));
        QCOMPARE(QDir(F.Dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), Before);
    }
}

void Test_Main_Window::New_Configuration_Enter_Key_With_Empty_Name()
{
    Fixture F;
    F.Start();
    When_Modal([&](QWidget* Modal) {
        QTest::keyClick(Find<QLineEdit>(Modal, "E_New_Proj"), Qt::Key_Return);
        QVERIFY(Modal->isVisible());
        Find<QLineEdit>(Modal, "E_New_Proj")->setText("Typed");
        QTest::keyClick(Find<QLineEdit>(Modal, "E_New_Proj"), Qt::Key_Enter);
    });
    QTest::mouseClick(F.Button("Btn_New"), Qt::LeftButton);
    QCOMPARE(F.Prompts.Texts(), QStringList{"Error! Name Project is not valid"});
    QCOMPARE(F.Space.Project_Name, QString("Typed"));
}

void Test_Main_Window::New_Configuration_Cancel_Changes_Nothing()
{
    Fixture F(Settings_Naming("Old"), {"Old"});
    F.Start();
    When_Modal([&](QWidget* Modal) {
        QCOMPARE(Find<QLineEdit>(Modal, "E_New_Proj")->text(), QString());
        Find<QLineEdit>(Modal, "E_New_Proj")->setText("Other");
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_Cancel"), Qt::LeftButton);
    });
    QTest::mouseClick(F.Button("Btn_New"), Qt::LeftButton);
    QCOMPARE(F.Space.Project_Name, QString("Old"));
    QVERIFY(!QFileInfo::exists(F.Exe_Dir + "/PROJECTS/Other"));
}

void Test_Main_Window::Open_Preselects_Active_Ignoring_Case()
{
    Fixture F(Settings_Naming("beta"), {"Alpha", "BETA", "Gamma", ".hidden"});
    F.Start();
    // The remembered name differs in case from the directory, so the
    // directory only exists on a case-insensitive disk; activate it directly.
    F.Space.Activate_Project("beta");
    QStringList Listed;
    QString Selected;
    When_Modal([&](QWidget* Modal) {
        auto* List = Find<QListWidget>(Modal, "ListBox1");
        for (int I = 0; I < List->count(); ++I)
            Listed << List->item(I)->text();
        Selected = List->currentItem() ? List->currentItem()->text() : QString();
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_OK"), Qt::LeftButton);
    });
    QTest::mouseClick(F.Button("Btn_Open"), Qt::LeftButton);
    Listed.sort();
    QCOMPARE(Listed, (QStringList{"Alpha", "BETA", "Gamma"}));
    QCOMPARE(Selected, QString("BETA"));
    QCOMPARE(F.Space.Project_Name, QString("BETA"));
    QCOMPARE(F.Label("L_Name_Conf_L2"), QString("BETA"));
}

void Test_Main_Window::Linked_Configuration_Neither_Listed_Nor_Restored()
{
    // A link below PROJECTS would have every save land where it points.
    QTemporaryDir Outside;
    QDir().mkpath(Outside.path() + "/Elsewhere/bin");
    Fixture F(Settings_Naming("Linked"), {"Real"});
    QVERIFY(QFile::link(Outside.path() + "/Elsewhere", F.Exe_Dir + "/PROJECTS/Linked"));
    F.Start();
    QVERIFY(!F.Space.Is_Project_Active());
    QStringList Listed;
    When_Modal([&](QWidget* Modal) {
        auto* List = Find<QListWidget>(Modal, "ListBox1");
        for (int I = 0; I < List->count(); ++I)
            Listed << List->item(I)->text();
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_Cancel"), Qt::LeftButton);
    });
    QTest::mouseClick(F.Button("Btn_Open"), Qt::LeftButton);
    QCOMPARE(Listed, QStringList{"Real"});
    F.Window->close();
    QVERIFY(Read_File(F.Exe_Dir + "/Tavorix.xml").contains("<projectname/>"));
    QCOMPARE(QDir(Outside.path() + "/Elsewhere").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"bin"});
}

void Test_Main_Window::Open_Without_Active_Returns_First()
{
    Fixture F({}, {"One", "Two", "Three"});
    F.Start();
    QString First;
    When_Modal([&](QWidget* Modal) {
        First = Find<QListWidget>(Modal, "ListBox1")->item(0)->text();
        // Pick another entry by clicking it, then confirm.
        auto* List = Find<QListWidget>(Modal, "ListBox1");
        QCOMPARE(List->currentRow(), 0);
        QTest::keyClick(Find<QPushButton>(Modal, "Btn_OK"), Qt::Key_Space);
    });
    QTest::mouseClick(F.Button("Btn_Open"), Qt::LeftButton);
    QCOMPARE(F.Space.Project_Name, First);
    QCOMPARE(F.Space.File_TLS_Known_Cert, F.Exe_Dir + "/PROJECTS/" + First + "/TLS_Known_Cert.xml");

    // Opening another one replaces it.
    When_Modal([&](QWidget* Modal) {
        auto* List = Find<QListWidget>(Modal, "ListBox1");
        const int Other = List->currentRow() == 0 ? 1 : 0;
        QTest::mouseClick(List->viewport(), Qt::LeftButton, {}, List->visualItemRect(List->item(Other)).center());
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_OK"), Qt::LeftButton);
    });
    QTest::mouseClick(F.Button("Btn_Open"), Qt::LeftButton);
    QVERIFY(F.Space.Project_Name != First);
    QVERIFY(F.Space.File_ParGen.endsWith("/" + F.Space.Project_Name + "/ParGen.xml"));
}

void Test_Main_Window::Open_Empty_List_Deactivates()
{
#ifdef Q_OS_WIN
    QSKIP("Windows keeps the folder of the open configuration from being deleted while the program holds its lock file open");
#endif
    Fixture F(Settings_Naming("Gone"), {"Gone"});
    F.Start();
    QVERIFY(F.Space.Is_Project_Active());
    QVERIFY(QDir(F.Exe_Dir + "/PROJECTS/Gone").removeRecursively());
    When_Modal([&](QWidget* Modal) {
        QCOMPARE(Find<QListWidget>(Modal, "ListBox1")->count(), 0);
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_OK"), Qt::LeftButton);
    });
    QTest::mouseClick(F.Button("Btn_Open"), Qt::LeftButton);
    QVERIFY(!F.Space.Is_Project_Active());
    QCOMPARE(F.Label("L_Name_Conf"), QString("None Configuration Opened "));
    QTest::mouseClick(F.Button("Btn_Prm_Gen"), Qt::LeftButton);
    QCOMPARE(F.Prompts.Last_Text(), QString("Error! Project not Valid: no configuration is open. Open or create one with step 1 first."));
}

void Test_Main_Window::Language_Change_Reapplies_Texts()
{
    Fixture F(Settings_Naming("P"), {"P"});
    Write_File(F.Exe_Dir + "/LANGUAGE/Italiano.lng",
               QString::fromUtf8("STR0 = Inizio\r\nSTR3 = Passo 3\r\nSTR11 = \u00B6Configurazione aperta: \u00B6\r\n"
                                 "STR20 = Comunicazione\r\nSTR24 = Parametri principali\r\nSTR100 = Nuova\r\n")
                   .toUtf8()
                   .prepend("\xEF\xBB\xBF"));
    F.Start();
    F.Space.Language_Name = "Italiano";
    F.Space.Init_Language();
    F.Window->Change_Language();
    QCOMPARE(F.Label("L_Begin"), QString("Inizio"));
    QCOMPARE(F.Label("L_Step_3"), QString("Passo 3"));
    QCOMPARE(F.Label("L_Step_4"), QString("Step 4"));
    QCOMPARE(F.Label("L_Name_Conf"), QString("Configurazione aperta: "));
    QCOMPARE(F.Button("Btn_Prm_Gen")->text(), QString("Comunicazione"));
    QCOMPARE(F.Button("Btn_Prm_Gen")->toolTip(), QString("Parametri principali"));
    // Built after the change, the dialog speaks the new language.
    F.Window->Build_Every_Window();
    QCOMPARE(F.Window->findChild<TFNew_Project*>()->windowTitle(), QString("Nuova"));
}

void Test_Main_Window::Layout_Sizes()
{
    Fixture F;
    F.Start();
    QCOMPARE(F.Window->centralWidget()->width(), 694);
    const int Step6_Top = F.Button("Btn_CreateBin")->y();
    QCOMPARE(F.Window->centralWidget()->height(), Step6_Top + 152);
    QCOMPARE(F.Button("Btn_CreateBin")->y() - F.Button("Btn_PROFINET_XML")->y(), 44);
    QCOMPARE(F.Button("Btn_New")->size(), QSize(170, 36));
    QVERIFY(!F.Button("Btn_Modbus_Set_Access")->isVisible());
    QVERIFY(!F.Button("Btn_SNMP_MIB")->isVisible());
    QVERIFY(!Find<QLabel>(F.Window.get(), "L_Step_7")->isVisible());
    QVERIFY(Find<QLabel>(F.Window.get(), "L_Step_6")->isVisible());
    QVERIFY(!Find<QLabel>(F.Window.get(), "LL_Update")->isVisible());
    QCOMPARE(F.Button("Btn_Info")->toolTip(), QString("Information"));
    QCOMPARE(F.Button("Btn_Opz")->accessibleName(), QString("Options"));
}

void Test_Main_Window::Configuration_Name_Shown_As_Typed()
{
    // Directory names may hold markup characters; the name must not be read as markup.
#ifdef Q_OS_WIN
    // Windows keeps '<' and '>' out of folder names: the entity alone.
    const QString Name = "Plant &amp; 7";
    Fixture F(Settings_Naming("Plant &amp;amp; 7"), {Name});
#else
    const QString Name = "<b>Plant &amp; 7";
    Fixture F(Settings_Naming("&lt;b&gt;Plant &amp;amp; 7"), {Name});
#endif
    F.Start();
    QCOMPARE(F.Space.Project_Name, Name);
    auto* Line = Find<QLabel>(F.Window.get(), "L_Name_Conf_L2");
    QLabel Plain;
    Plain.setFont(Line->font());
    Plain.setTextFormat(Qt::PlainText);
    Plain.setText(Name);
    QCOMPARE(Line->text(), Name);
    QCOMPARE(Line->sizeHint(), Plain.sizeHint());
}

void Test_Main_Window::Keyboard_Starts_At_New_And_Reaches_The_Link()
{
    struct Recording_Desktop : Desktop_Shell {
        void Open_Url(const QString& Url) override { Opened.append(Url); }
        QStringList Opened;
    } Desktop;
    Fixture F;
    Platform_Services Services;
    Services.Desktop = &Desktop;
    F.Start(Services);
    F.Window->show();
    QApplication::setActiveWindow(F.Window.get());
    QVERIFY(QTest::qWaitForWindowActive(F.Window.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(F.Button("Btn_New")));

    // Tab walks the steps as they are read, row by row and left to right,
    // down to the maker's link; Enter opens it.
    QStringList Walked{QApplication::focusWidget()->objectName()};
    for (int I = 0; I < 10; ++I) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        Walked.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(Walked, QStringList({"Btn_New", "Btn_Open", "Btn_Prm_Gen", "Btn_IEC61850_Access", "Btn_Commission",
                                  "Btn_TLS_List_Certificates", "Btn_Report", "Btn_PROFINET_XML", "Btn_Find_Gateways",
                                  "Btn_CreateBin", "L_Korvex"}));
    auto* Link = Find<QLabel>(F.Window.get(), "L_Korvex");
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Link));
    QVERIFY(!Link->accessibleName().isEmpty());
    QTest::keyClick(Link, Qt::Key_Return);
    QCOMPARE(Desktop.Opened, QStringList{Home_Page_Url()});
}

void Test_Main_Window::Dialogs_Open_At_The_Same_Place()
{
    Fixture F;
    F.Start();
    F.Window->show();
    QVERIFY(QTest::qWaitForWindowExposed(F.Window.get()));
    QList<QPoint> Seen;
    const auto Open_About = [&](QPoint Drag) {
        When_Modal([&, Drag](QWidget* Modal) {
            Seen << Modal->pos();
            Modal->move(Modal->pos() + Drag);  // where the user puts it
            qobject_cast<QDialog*>(Modal)->reject();
        });
        F.Click("Btn_Info");
    };
    Open_About(QPoint(0, 0));
    Open_About(QPoint(0, 0));
    QCOMPARE(Seen.size(), 2);
    QCOMPARE(Seen[1], Seen[0]);
    // Moved by the user, it opens where it was left.
    Open_About(QPoint(10, 15));
    Open_About(QPoint(0, 0));
    QCOMPARE(Seen[3], Seen[0] + QPoint(10, 15));
    // And it keeps that place beside the main window when the main window moves.
    F.Window->move(F.Window->pos() + QPoint(30, 20));
    Open_About(QPoint(0, 0));
    QCOMPARE(Seen.size(), 5);
    QCOMPARE(Seen[4], Seen[0] + QPoint(10, 15) + QPoint(30, 20));
}

void Test_Main_Window::Title_Buttons_Draw_Their_Icons_data()
{
    QTest::addColumn<QString>("Button");
    QTest::newRow("information") << QStringLiteral("Btn_Info");
    QTest::newRow("options") << QStringLiteral("Btn_Opz");
    QTest::newRow("close") << QStringLiteral("Btn_Close");
}

void Test_Main_Window::Title_Buttons_Draw_Their_Icons()
{
    // The icons are drawn, not looked up: they show at any size and pixel
    // ratio, and a disabled button shows them grey.
    QFETCH(QString, Button);
    Fixture F;
    F.Start();
    const QIcon Icon = Find<QPushButton>(F.Window.get(), Button)->icon();
    const auto Opaque_Pixels = [](const QImage& Image) {
        int Count = 0;
        for (int Y = 0; Y < Image.height(); ++Y)
            for (int X = 0; X < Image.width(); ++X)
                Count += qAlpha(Image.pixel(X, Y)) > 128 ? 1 : 0;
        return Count;
    };
    for (const qreal Ratio : {1.0, 2.0}) {
        const QImage Normal = Icon.pixmap(QSize(24, 24), Ratio).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(Normal.size(), QSize(24, 24) * Ratio);
        const int Drawn = Opaque_Pixels(Normal);
        QVERIFY2(Drawn > 20 * Ratio * Ratio && Drawn < 24 * 24 * Ratio * Ratio, qPrintable(QString::number(Drawn)));
        const QImage Disabled =
            Icon.pixmap(QSize(24, 24), Ratio, QIcon::Disabled).toImage().convertToFormat(QImage::Format_ARGB32);
        QVERIFY(Disabled != Normal);
    }
}

QTEST_MAIN(Test_Main_Window)
#include "test_main_window.moc"
