#include "localisation/Options_Fakes.h"
#include "localisation/TFSoftOptions.h"
#include "localisation/Version_Watch.h"
#include "shell/TFNew_Project.h"
#include "shell/TFOpenConf.h"
#include "shell/TFTavorixFirmWare.h"
#include "foundation/Web_Addresses.h"
#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Support.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::When_Modal;
using Test_Support::Write_File;

namespace {

QString Shipped_Picture(const QString& Name) { return QStringLiteral(SW_TEST_DATA_DIR "/../../resources/LANGUAGE/") + Name; }
QString Italian_File() { return QStringLiteral(SW_TEST_DATA_DIR "/options/Italiano.lng"); }

QImage Picture_Of(QLabel* Label) { return Label->pixmap().toImage().convertToFormat(QImage::Format_RGB32); }
QImage Picture_File(const QString& Path) { return QImage(Path).convertToFormat(QImage::Format_RGB32); }

QByteArray Settings(bool Internet, bool Update, bool Jump = false, bool Auto_Size = false)
{
    auto Bit = [](bool B) { return B ? QByteArray("1") : QByteArray("0"); };
    return "<Conf_Settings><lastproj><projectname/></lastproj>"
           "<lastipadd><ipaddress>192.168.2.205</ipaddress></lastipadd>"
           "<lastlang><language>English</language></lastlang>"
           "<lastinternet><enable_internet>" + Bit(Internet) + "</enable_internet><enable_update>" + Bit(Update)
        + "</enable_update><enable_jump_field_tables>" + Bit(Jump) + "</enable_jump_field_tables><Double_Click_Auto_Size>"
        + Bit(Auto_Size) + "</Double_Click_Auto_Size></lastinternet></Conf_Settings>";
}

// A program folder in a temporary directory with its LANGUAGE folder and fakes
// for every seam the options touch.
struct Program_Folder {
    QTemporaryDir Dir;
    QString Exe_Dir = Dir.path() + "/prog";
    QString Language_Dir = Exe_Dir + "/LANGUAGE";
    Workspace Space{Exe_Dir};
    Scripted_Prompter Prompts;
    Fake_Http_Client Http;
    Fake_Desktop_Shell Desktop;

    Program_Folder() { QDir().mkpath(Language_Dir); }

    void Add_Language(const QString& Name, const QByteArray& Text = {})
    {
        Write_File(Language_Dir + "/" + Name + ".lng", Text);
    }
    void Add_Picture(const QString& Name, const QColor& Colour)
    {
        QImage Picture(48, 48, QImage::Format_RGB32);
        Picture.fill(Colour);
        QVERIFY(Picture.save(Language_Dir + "/" + Name, "BMP"));
    }
    Platform_Services Services()
    {
        Platform_Services S;
        S.Prompts = &Prompts;
        S.Http = &Http;
        S.Desktop = &Desktop;
        return S;
    }
};

// The dialog on its own, shown without a main window.
struct Dialog_Fixture : Program_Folder {
    Version_Watch Watch{&Http};
    int Language_Changes = 0;
    std::unique_ptr<TFSoftOptions> Dialog;

    TFSoftOptions& Show()
    {
        Space.Set_Identity();
        Space.Init_Language();
        Dialog = std::make_unique<TFSoftOptions>(Space, Services(), Watch, [this] {
            ++Language_Changes;
            Dialog->Set_Lang();
        });
        Dialog->show();
        return *Dialog;
    }
    template <class T>
    T* Get(const QString& Name) { return Find<T>(Dialog.get(), Name); }
    QString Text(const QString& Name) { return Get<QLabel>(Name)->text(); }
};

// The whole program: the main window opens the dialog from its options button.
struct Window_Fixture : Program_Folder {
    std::unique_ptr<TFTavorixFirmWare> Window;

    TFTavorixFirmWare& Start(const QByteArray& Settings_File = {})
    {
        if (!Settings_File.isEmpty())
            Write_File(Exe_Dir + "/Tavorix.xml", Settings_File);
        Window = std::make_unique<TFTavorixFirmWare>(Space, Services());
        Window->show();
        return *Window;
    }
    // Opens the options dialog modally and runs Action on it; the dialog is
    // cancelled afterwards if Action left it open.
    void With_Options(const std::function<void(TFSoftOptions*)>& Action)
    {
        When_Modal([&](QWidget* Modal) {
            auto* Dialog = qobject_cast<TFSoftOptions*>(Modal);
            const auto Close = qScopeGuard([Modal] {
                if (Modal->isVisible())
                    static_cast<QDialog*>(Modal)->reject();
            });
            QVERIFY(Dialog);
            Action(Dialog);
        });
        QTest::mouseClick(Find<QPushButton>(Window.get(), "Btn_Opz"), Qt::LeftButton);
    }
    QString Settings_Text() { return QString::fromUtf8(Read_File(Exe_Dir + "/Tavorix.xml")); }
};

void Click(QWidget* Parent, const QString& Name) { QTest::mouseClick(Find<QWidget>(Parent, Name), Qt::LeftButton); }

void Show_Tab(QWidget* Dialog, const QString& Page)
{
    auto* Tabs = Find<QTabWidget>(Dialog, "PC_Options");
    Tabs->setCurrentWidget(Find<QWidget>(Dialog, Page));
}

} // namespace

class Test_Soft_Options : public QObject {
    Q_OBJECT
private slots:
    void Pages_Of_Six_data();
    void Pages_Of_Six();
    void Lists_Plain_Writable_Files_Sorted();
    void Flag_Pictures();
    void Shipped_Pictures_Are_48_By_48();
    void Question_Answered_No_Changes_Nothing_data();
    void Question_Answered_No_Changes_Nothing();
    void Picked_Language_Switches_Every_Window_data();
    void Picked_Language_Switches_Every_Window();
    void Picked_Language_Whose_File_Vanished();
    void Question_Names_The_Language_On_Screen_data();
    void Question_Names_The_Language_On_Screen();
    void Cancel_Returns_The_Language_data();
    void Cancel_Returns_The_Language();
    void Ok_And_Cancel_data();
    void Ok_And_Cancel();
    void Ok_Does_Not_Push_Back_A_Running_Timer();
    void Manual_Check_Uses_Dialog_State();
    void Periodic_Check();
    void Tick_During_Manual_Check_Waits_For_It();
};

void Test_Soft_Options::Question_Names_The_Language_On_Screen_data()
{
    QTest::addColumn<QString>("Started_In");
    QTest::addColumn<QString>("Picked_First");  // empty: none before the asked one
    QTest::addColumn<QString>("Asked");
    QTest::addColumn<QString>("Question");
    const QString German = "Möchten Sie die Sprache wechseln von Deutsch auf Français?";
    QTest::newRow("started in German") << "Deutsch" << "" << "L_L3" << German;
    QTest::newRow("German picked, then French") << "English" << "L_L1" << "L_L3" << German;
    QTest::newRow("started in English") << "English" << "" << "L_L3"
                                        << "Do you want to change the Language from English to Français?";
}

void Test_Soft_Options::Question_Names_The_Language_On_Screen()
{
    QFETCH(QString, Started_In);
    QFETCH(QString, Picked_First);
    QFETCH(QString, Asked);
    QFETCH(QString, Question);
    Window_Fixture F;
    F.Add_Language("English");
    for (const char* Name : {"Deutsch", "Français"})
        QVERIFY(QFile::copy(QString(SW_RESOURCES_DIR "/LANGUAGE/") + QString::fromUtf8(Name) + ".lng",
                            F.Language_Dir + "/" + QString::fromUtf8(Name) + ".lng"));
    F.Start(Settings(false, false).replace("<language>English</language>",
                                           "<language>" + Started_In.toUtf8() + "</language>"));
    F.Prompts.Answers = {Prompt_Answer::Yes, Prompt_Answer::No};
    F.With_Options([&](TFSoftOptions* Dialog) {
        if (!Picked_First.isEmpty())
            Click(Dialog, Picked_First);
        Click(Dialog, Asked);
    });
    QVERIFY(!F.Prompts.Messages.isEmpty());
    QCOMPARE(F.Prompts.Last_Text(), Question);
}

void Test_Soft_Options::Pages_Of_Six_data()
{
    QTest::addColumn<int>("Files");
    QTest::addColumn<int>("Pages");
    QTest::newRow("13 files") << 13 << 3;
    QTest::newRow("exactly 6") << 6 << 1;
    QTest::newRow("7 files") << 7 << 2;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("none") << 0 << 0;
}

void Test_Soft_Options::Pages_Of_Six()
{
    QFETCH(int, Files);
    QFETCH(int, Pages);
    Dialog_Fixture F;
    for (int I = 0; I < Files; ++I)
        F.Add_Language(QString("Lang%1").arg(I, 2, 10, QChar('0')));
    F.Show();
    QCOMPARE(F.Text("L_Sel_Lang"), QString("Selected Language : English"));
    const auto Check = [&](int Page) {
        QCOMPARE(F.Text("L_Page_Lang"), QString("Page %1 / %2").arg(Page).arg(Pages));
        QCOMPARE(F.Dialog->Show_Page, Page);
        QCOMPARE(F.Get<QPushButton>("Btn_Prev")->isVisible(), Page > 1);
        QCOMPARE(F.Get<QPushButton>("Btn_Next")->isVisible(), Page != Pages);
        const int Shown = std::clamp(Files - (Page - 1) * 6, 0, 6);
        for (int K = 1; K <= 6; ++K) {
            QCOMPARE(F.Get<QLabel>(QString("I_L%1").arg(K))->isVisible(), K <= Shown);
            QCOMPARE(F.Get<QLabel>(QString("L_L%1").arg(K))->isVisible(), K <= Shown);
            if (K <= Shown)
                QCOMPARE(F.Text(QString("L_L%1").arg(K)), QString("Lang%1").arg((Page - 1) * 6 + K - 1, 2, 10, QChar('0')));
        }
    };
    Check(1);
    for (int Page = 2; Page <= Pages; ++Page) {
        Click(F.Dialog.get(), "Btn_Next");
        Check(Page);
    }
    for (int Page = Pages - 1; Page >= 1; --Page) {
        Click(F.Dialog.get(), "Btn_Prev");
        Check(Page);
    }
    if (Pages == 0) {
        // Shown, but there is nowhere to go.
        Click(F.Dialog.get(), "Btn_Next");
        Check(1);
    }
}

void Test_Soft_Options::Lists_Plain_Writable_Files_Sorted()
{
    Dialog_Fixture F;
    for (const char* Name : {"zulu", "Alpha", "beta", ".hidden", "ReadOnly"})
        F.Add_Language(Name);
    QVERIFY(QFile::setPermissions(F.Language_Dir + "/ReadOnly.lng",
                                  QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QVERIFY(QDir().mkpath(F.Language_Dir + "/Folder.lng"));
#ifndef Q_OS_WIN
    // (On Windows QFile::link makes a shortcut, a plain file, not a link.)
    QVERIFY(QFile::link(F.Language_Dir + "/Alpha.lng", F.Language_Dir + "/Link.lng"));
#endif
    // Opened later as name + ".lng", which this file would not match.
    Write_File(F.Language_Dir + "/Upper.LNG", {});
    Write_File(F.Language_Dir + "/notes.txt", {});
    F.Show();
    QCOMPARE(F.Dialog->SL_Languages, (QStringList{".hidden.lng", "Alpha.lng", "beta.lng", "zulu.lng"}));
    QCOMPARE(F.Text("L_L1"), QString(".hidden"));
    QCOMPARE(F.Text("L_L4"), QString("zulu"));
    QVERIFY(!F.Get<QLabel>("L_L5")->isVisible());
    QCOMPARE(F.Text("L_Page_Lang"), QString("Page 1 / 1"));
}

void Test_Soft_Options::Flag_Pictures()
{
    Dialog_Fixture F;
    for (const char* Name : {"Broken", "Deutsch", "English", "Italiano"})
        F.Add_Language(Name);
    F.Add_Picture("Italiano.bmp", Qt::red);
    Write_File(F.Language_Dir + "/Broken.bmp", "BM this is not a picture");
    QVERIFY(QFile::copy(Shipped_Picture("DefaultFlag.bmp"), F.Language_Dir + "/DefaultFlag.bmp"));
    QVERIFY(QFile::copy(Shipped_Picture("English.bmp"), F.Language_Dir + "/English.bmp"));
    F.Show();
    const QImage Default = Picture_File(Shipped_Picture("DefaultFlag.bmp"));
    QCOMPARE(Picture_Of(F.Get<QLabel>("I_L1")), Default); // unreadable picture of its own
    QCOMPARE(Picture_Of(F.Get<QLabel>("I_L2")), Default); // no picture of its own
    QCOMPARE(Picture_Of(F.Get<QLabel>("I_L3")), Picture_File(Shipped_Picture("English.bmp")));
    QCOMPARE(Picture_Of(F.Get<QLabel>("I_L4")).pixelColor(24, 24), QColor(Qt::red));
    QCOMPARE(F.Get<QLabel>("I_L4")->size(), QSize(48, 48));

    // Without the default picture a place shows its name alone.
    QVERIFY(QFile::remove(F.Language_Dir + "/DefaultFlag.bmp"));
    F.Dialog->hide();
    F.Dialog->show();
    QVERIFY(F.Get<QLabel>("I_L2")->pixmap().isNull());
    QVERIFY(F.Get<QLabel>("I_L1")->pixmap().isNull());
    QCOMPARE(F.Text("L_L2"), QString("Deutsch"));
    QVERIFY(F.Get<QLabel>("L_L2")->isVisible());
    QCOMPARE(Picture_Of(F.Get<QLabel>("I_L4")).pixelColor(24, 24), QColor(Qt::red));
}

void Test_Soft_Options::Shipped_Pictures_Are_48_By_48()
{
    for (const char* Name : {"DefaultFlag.bmp", "English.bmp"}) {
        const QImage Picture(Shipped_Picture(Name));
        QVERIFY2(!Picture.isNull(), Name);
        QCOMPARE(Picture.size(), QSize(48, 48));
    }
}

void Test_Soft_Options::Question_Answered_No_Changes_Nothing_data()
{
    QTest::addColumn<QString>("Control");
    QTest::addColumn<bool>("Keyboard");
    QTest::newRow("click on the name") << "L_L2" << false;
    QTest::newRow("click on the picture") << "I_L2" << false;
    QTest::newRow("space on the name") << "L_L2" << true;
}

void Test_Soft_Options::Question_Answered_No_Changes_Nothing()
{
    QFETCH(QString, Control);
    QFETCH(bool, Keyboard);
    Dialog_Fixture F;
    F.Add_Language("English");
    QVERIFY(QFile::copy(Italian_File(), F.Language_Dir + "/Italiano.lng"));
    F.Show();
    F.Prompts.Answers = {Prompt_Answer::No};
    if (Keyboard)
        QTest::keyClick(F.Get<QLabel>(Control), Qt::Key_Space);
    else
        Click(F.Dialog.get(), Control);
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Confirmation);
    QCOMPARE(F.Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No);
    QCOMPARE(F.Prompts.Messages[0].Text, QString("Do you want to change the Language from English to Italiano?"));
    QCOMPARE(F.Language_Changes, 0);
    QCOMPARE(F.Dialog->Language_In_Use, QString("English"));
    QCOMPARE(F.Space.Language_Name, QString("English"));
    QCOMPARE(F.Space.Str(302), QString("Language"));
    QCOMPARE(F.Text("L_Sel_Lang"), QString("Selected Language : English"));
}

void Test_Soft_Options::Picked_Language_Switches_Every_Window_data()
{
    QTest::addColumn<bool>("Confirm");
    QTest::newRow("then OK") << true;
    QTest::newRow("then Cancel") << false;
}

void Test_Soft_Options::Picked_Language_Switches_Every_Window()
{
    QFETCH(bool, Confirm);
    Window_Fixture F;
    for (const char* Name : {"Bulgarian", "Catalan", "Czech", "Danish", "Deutsch", "Eesti", "English", "Espanol",
                             "Francais", "Hrvatski", "Latviesu", "Magyar"})
        F.Add_Language(Name);
    QVERIFY(QFile::copy(Italian_File(), F.Language_Dir + "/Italiano.lng")); // 11th of 13: page 2, place 5
    F.Start(Settings(false, false));
    const QByteArray Settings_Before = Read_File(F.Exe_Dir + "/Tavorix.xml");
    F.Prompts.Answers = {Prompt_Answer::Yes};
    F.With_Options([&](TFSoftOptions* Dialog) {
        Click(Dialog, "Btn_Next");
        QCOMPARE(Find<QLabel>(Dialog, "L_L5")->text(), QString("Italiano"));
        Click(Dialog, "L_L5");
        QCOMPARE(F.Prompts.Last_Text(), QString("Do you want to change the Language from English to Italiano?"));
        // The dialog stays on its page and speaks the new language.
        QCOMPARE(Dialog->Show_Page, 2);
        QCOMPARE(Find<QLabel>(Dialog, "L_Page_Lang")->text(), QString("Pagina 2 di 3"));
        QCOMPARE(Find<QLabel>(Dialog, "L_Sel_Lang")->text(), QString("Lingua selezionata : Italiano"));
        QCOMPARE(Find<QLabel>(Dialog, "L_L5")->text(), QString("Italiano"));
        QVERIFY(Find<QPushButton>(Dialog, "Btn_Prev")->isVisible());
        QCOMPARE(Find<QPushButton>(Dialog, "Btn_Prev")->text(), QString("Precedente"));
        QCOMPARE(Find<QPushButton>(Dialog, "Btn_Cancel")->text(), QString("Annulla"));
        QCOMPARE(Dialog->windowTitle(), QString("Opzioni software"));
        QCOMPARE(Find<QTabWidget>(Dialog, "PC_Options")->tabText(1), QString("Opzioni di connessione"));
        // Every other window too, while the setting waits for OK.
        QCOMPARE(Find<QLabel>(F.Window.get(), "L_Begin")->text(), QString("Inizio"));
        QCOMPARE(Find<QPushButton>(F.Window.get(), "Btn_Opz")->toolTip(), QString("Opzioni"));
        // Windows not opened yet are built in the language on screen.
        QVERIFY(!F.Window->findChild<TFNew_Project*>());
        F.Window->Build_Every_Window();
        QCOMPARE(F.Window->findChild<TFNew_Project*>()->windowTitle(), QString("Crea nuova configurazione"));
        QCOMPARE(F.Window->findChild<TFOpenConf*>()->windowTitle(), QString("Apri configurazione"));
        QCOMPARE(F.Space.Language_Name, QString("English"));
        Click(Dialog, Confirm ? "Btn_OK" : "Btn_Cancel");
    });
    QCOMPARE(F.Prompts.Messages.size(), 1);
    // OK keeps the picked language on screen, Cancel gives the old one back.
    QCOMPARE(Find<QLabel>(F.Window.get(), "L_Begin")->text(), QString(Confirm ? "Inizio" : "Begin"));
    if (Confirm) {
        QCOMPARE(F.Space.Language_Name, QString("Italiano"));
        QVERIFY(F.Settings_Text().contains("<lastlang><language>Italiano</language></lastlang>"));
    } else {
        QCOMPARE(F.Space.Language_Name, QString("English"));
        QCOMPARE(Read_File(F.Exe_Dir + "/Tavorix.xml"), Settings_Before);
    }
}

void Test_Soft_Options::Picked_Language_Whose_File_Vanished()
{
    Dialog_Fixture F;
    F.Add_Language("English");
    QVERIFY(QFile::copy(Italian_File(), F.Language_Dir + "/Italiano.lng"));
    F.Show();
    QVERIFY(QFile::remove(F.Language_Dir + "/Italiano.lng"));
    F.Prompts.Answers = {Prompt_Answer::Yes};
    Click(F.Dialog.get(), "L_L2");
    QCOMPARE(F.Language_Changes, 1);
    // English stands in, and the dialog names the language on screen.
    QCOMPARE(F.Space.Str(302), QString("Language"));
    QCOMPARE(F.Text("L_Sel_Lang"), QString("Selected Language : English"));
    Click(F.Dialog.get(), "Btn_OK");
    QCOMPARE(F.Space.Language_Name, QString("English"));
}

void Test_Soft_Options::Cancel_Returns_The_Language_data()
{
    QTest::addColumn<QString>("From");
    QTest::addColumn<QString>("To");
    QTest::addColumn<QString>("Way");
    QTest::newRow("English to Italiano, Cancel") << "English" << "Italiano" << "cancel";
    QTest::newRow("Italiano to Deutsch, Escape") << "Italiano" << "Deutsch" << "escape";
    QTest::newRow("Deutsch to Français, closed") << "Deutsch" << "Français" << "close";
    QTest::newRow("Français to English, Cancel") << "Français" << "English" << "cancel";
}

// A language picked in the dialog is shown at once; cancelling the dialog in
// any way gives every window the language it had when the dialog opened.
void Test_Soft_Options::Cancel_Returns_The_Language()
{
    QFETCH(QString, From);
    QFETCH(QString, To);
    QFETCH(QString, Way);
    Window_Fixture F;
    F.Add_Language("English");
    for (const char* Name : {"Deutsch", "Français", "Italiano"})
        QVERIFY(QFile::copy(Shipped_Picture(QString(Name) + ".lng"), F.Language_Dir + "/" + Name + ".lng"));
    QByteArray Start = Settings(false, false);
    Start.replace("<language>English</language>", "<language>" + From.toUtf8() + "</language>");
    F.Start(Start);
    const QString Begin = Find<QLabel>(F.Window.get(), "L_Begin")->text();
    const QString Options_Hint = Find<QPushButton>(F.Window.get(), "Btn_Opz")->toolTip();
    F.Prompts.Answers = {Prompt_Answer::Yes};
    F.With_Options([&](TFSoftOptions* Dialog) {
        // Deutsch, English, Français, Italiano: one page.
        const QStringList Order{"Deutsch", "English", "Français", "Italiano"};
        Click(Dialog, QString("L_L%1").arg(Order.indexOf(To) + 1));
        QVERIFY(Find<QLabel>(F.Window.get(), "L_Begin")->text() != Begin);
        QVERIFY(Find<QLabel>(Dialog, "L_Sel_Lang")->text().endsWith(To));
        if (Way == "cancel")
            Click(Dialog, "Btn_Cancel");
        else if (Way == "escape")
            QTest::keyClick(Dialog, Qt::Key_Escape);
        else
            Dialog->close();
        QVERIFY(!Dialog->isVisible());
    });
    QCOMPARE(Find<QLabel>(F.Window.get(), "L_Begin")->text(), Begin);
    QCOMPARE(Find<QPushButton>(F.Window.get(), "Btn_Opz")->toolTip(), Options_Hint);
    QCOMPARE(F.Space.Language_Name, From);
    // Opened again, the dialog names the language on screen.
    F.With_Options([&](TFSoftOptions* Dialog) {
        QVERIFY(Find<QLabel>(Dialog, "L_Sel_Lang")->text().endsWith(From));
        Click(Dialog, "Btn_Cancel");
    });
}

void Test_Soft_Options::Ok_And_Cancel_data()
{
    QTest::addColumn<QByteArray>("Start");      // internet, update, jump, auto size as "0"/"1"
    QTest::addColumn<QStringList>("Toggled");   // check boxes clicked, in this order
    QTest::addColumn<bool>("Confirm");
    QTest::addColumn<QByteArray>("Saved");      // the four flags afterwards
    QTest::addColumn<bool>("Timer");
    const QStringList Both{"CB_En_Con", "CB_Update"};
    QTest::newRow("OK, both on") << QByteArray("0000") << Both << true << QByteArray("1100") << true;
    QTest::newRow("OK, internet only") << QByteArray("0000") << QStringList{"CB_En_Con"} << true << QByteArray("1000")
                                       << false;
    QTest::newRow("OK, internet off keeps update") << QByteArray("1100") << QStringList{"CB_En_Con"} << true
                                                   << QByteArray("0100") << false;
    QTest::newRow("OK, table settings") << QByteArray("0000")
                                        << QStringList{"CB_Soft_Set_Jump_Table", "CB_DoubleClick_Auto_Size"} << true
                                        << QByteArray("0011") << false;
    QTest::newRow("OK, table settings off") << QByteArray("1111")
                                            << QStringList{"CB_Soft_Set_Jump_Table", "CB_DoubleClick_Auto_Size"}
                                            << true << QByteArray("1100") << true;
    QTest::newRow("Cancel") << QByteArray("1100") << QStringList{"CB_En_Con", "CB_Soft_Set_Jump_Table"} << false
                            << QByteArray("1100") << true;
    QTest::newRow("Cancel, both off") << QByteArray("0000") << Both << false << QByteArray("0000") << false;
}

void Test_Soft_Options::Ok_And_Cancel()
{
    QFETCH(QByteArray, Start);
    QFETCH(QStringList, Toggled);
    QFETCH(bool, Confirm);
    QFETCH(QByteArray, Saved);
    QFETCH(bool, Timer);
    const auto Flag = [](const QByteArray& Flags, int I) { return Flags[I] == '1'; };
    Window_Fixture F;
    F.Start(Settings(Flag(Start, 0), Flag(Start, 1), Flag(Start, 2), Flag(Start, 3)));
    const QByteArray Settings_Before = Read_File(F.Exe_Dir + "/Tavorix.xml");
    QCOMPARE(F.Window->Update_Watch.Timer_Update.isActive(), Flag(Start, 0) && Flag(Start, 1));

    F.With_Options([&](TFSoftOptions* Dialog) {
        QCOMPARE(Find<QTabWidget>(Dialog, "PC_Options")->currentWidget()->objectName(), QString("TS_Language"));
        QVERIFY(!Find<QLabel>(Dialog, "LL_Check_Update")->isVisible());
        auto* En_Con = Find<QCheckBox>(Dialog, "CB_En_Con");
        auto* Update = Find<QCheckBox>(Dialog, "CB_Update");
        auto* Check = Find<QPushButton>(Dialog, "Btn_Check_Update");
        for (const QString& Name : Toggled) {
            auto* Box = Find<QCheckBox>(Dialog, Name);
            Show_Tab(Dialog, Box->parentWidget()->objectName());
            QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(8, Box->height() / 2));
            QCOMPARE(Update->isEnabled(), En_Con->isChecked());
            QCOMPARE(Check->isEnabled(), En_Con->isChecked() && Update->isChecked());
        }
        Click(Dialog, Confirm ? "Btn_OK" : "Btn_Cancel");
    });
    QCOMPARE(F.Space.Enable_Internet, Flag(Saved, 0));
    QCOMPARE(F.Space.Enable_Update, Flag(Saved, 1));
    QCOMPARE(F.Space.Enable_Jump_Field_Tables, Flag(Saved, 2));
    QCOMPARE(F.Space.Double_Click_Auto_Size, Flag(Saved, 3));
    QCOMPARE(F.Window->Update_Watch.Timer_Update.isActive(), Timer);
    if (Timer)
        QCOMPARE(F.Window->Update_Watch.Timer_Update.interval(), 60000);
    if (Confirm)
        QCOMPARE(Read_File(F.Exe_Dir + "/Tavorix.xml"),
                 Settings(Flag(Saved, 0), Flag(Saved, 1), Flag(Saved, 2), Flag(Saved, 3)));
    else
        QCOMPARE(Read_File(F.Exe_Dir + "/Tavorix.xml"), Settings_Before);

    // The next showing loads the settings again, not what a cancelled showing left.
    F.With_Options([&](TFSoftOptions* Dialog) {
        QCOMPARE(Find<QCheckBox>(Dialog, "CB_En_Con")->isChecked(), Flag(Saved, 0));
        QCOMPARE(Find<QCheckBox>(Dialog, "CB_Update")->isChecked(), Flag(Saved, 1));
        QCOMPARE(Find<QCheckBox>(Dialog, "CB_Update")->isEnabled(), Flag(Saved, 0));
        QCOMPARE(Find<QPushButton>(Dialog, "Btn_Check_Update")->isEnabled(), Flag(Saved, 0) && Flag(Saved, 1));
        QCOMPARE(Find<QCheckBox>(Dialog, "CB_Soft_Set_Jump_Table")->isChecked(), Flag(Saved, 2));
        QCOMPARE(Find<QCheckBox>(Dialog, "CB_DoubleClick_Auto_Size")->isChecked(), Flag(Saved, 3));
        Click(Dialog, "Btn_Cancel");
    });
}

void Test_Soft_Options::Ok_Does_Not_Push_Back_A_Running_Timer()
{
    Window_Fixture F;
    F.Start(Settings(true, true));
    QVERIFY(F.Window->Update_Watch.Timer_Update.isActive());
    // A coarse timer's remaining time may run ahead by a few per cent; a precise one shows the truth.
    F.Window->Update_Watch.Timer_Update.setTimerType(Qt::PreciseTimer);
    F.Window->Update_Watch.Timer_Update.start();
    QTest::qWait(300);
    F.With_Options([&](TFSoftOptions* Dialog) { Click(Dialog, "Btn_OK"); });
    QVERIFY(F.Window->Update_Watch.Timer_Update.isActive());
    QVERIFY2(F.Window->Update_Watch.Timer_Update.remainingTime() <= 59800,
             qPrintable(QString::number(F.Window->Update_Watch.Timer_Update.remainingTime())));
}

void Test_Soft_Options::Manual_Check_Uses_Dialog_State()
{
    Window_Fixture F;
    F.Start(Settings(false, false));
    F.Http.Replies = {QByteArray("VER. 1.001"), std::unexpected(QStringLiteral("refused"))};
    F.With_Options([&](TFSoftOptions* Dialog) {
        Show_Tab(Dialog, "TS_Con_Options");
        auto* Check = Find<QPushButton>(Dialog, "Btn_Check_Update");
        QVERIFY(!Check->isEnabled());
        for (const char* Name : {"CB_En_Con", "CB_Update"}) {
            auto* Box = Find<QCheckBox>(Dialog, Name);
            QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(8, Box->height() / 2));
        }
        QVERIFY(Check->isEnabled());
        QTest::mouseClick(Check, Qt::LeftButton);
        auto* Result = Find<QLabel>(Dialog, "LL_Check_Update");
        QVERIFY(Result->isVisible());
        const QRegularExpressionMatch Link = QRegularExpression("^<a href=\"([^\"]*)\">(.*)</a>$").match(Result->text());
        QVERIFY(Link.hasMatch());
        QCOMPARE(Link.captured(1), Download_Page_Url());
        QCOMPARE(Link.captured(2), QString("New Version Available. Click Here for more Details"));
        emit Result->linkActivated(Link.captured(1));
        QCOMPARE(F.Desktop.Opened, QStringList{Download_Page_Url()});

        QTest::mouseClick(Check, Qt::LeftButton);
        QCOMPARE(Result->text(), QString("No Update Available"));
        Click(Dialog, "Btn_Cancel");
    });
    QCOMPARE(F.Http.Requests.size(), 2);
    QCOMPARE(F.Http.Requests[0].Host, Identity::Maker_Host);
    QVERIFY(!F.Window->Update_Watch.Timer_Update.isActive());
    F.With_Options([&](TFSoftOptions* Dialog) {
        Show_Tab(Dialog, "TS_Con_Options");
        QVERIFY(!Find<QLabel>(Dialog, "LL_Check_Update")->isVisible());
    });
}

void Test_Soft_Options::Periodic_Check()
{
    Window_Fixture F;
    F.Start(Settings(true, true));
    QTimer& Timer = F.Window->Update_Watch.Timer_Update;
    auto* Link_Label = Find<QLabel>(F.Window.get(), "LL_Update");
    QCOMPARE(Timer.interval(), 60000);
    QVERIFY(Timer.isActive());
    QVERIFY(!Link_Label->isVisible());
    bool Timer_Ran_During_Query = false;
    F.Http.On_Get = [&] { Timer_Ran_During_Query = Timer_Ran_During_Query || Timer.isActive(); };
    F.Http.Replies = {QByteArray("VER. 1.001\r\n"), std::unexpected(QStringLiteral("timed out")), QByteArray("VER. 0.000")};

    // The first tick, sooner than a minute so the test need not wait.
    Timer.start(5);
    QTRY_COMPARE(F.Http.Requests.size(), 1);
    QVERIFY(Link_Label->isVisible());
    QCOMPARE(F.Http.Requests[0].Host, Identity::Maker_Host);
    QCOMPARE(Timer.interval(), 7200000);
    QVERIFY(Timer.isActive());
    const QRegularExpressionMatch Link = QRegularExpression("^<a href=\"([^\"]*)\">(.*)</a>$").match(Link_Label->text());
    QVERIFY(Link.hasMatch());
    QCOMPARE(Link.captured(1), Download_Page_Url());
    QCOMPARE(Link.captured(2), QString("New Version Available. Click Here for more Details"));
    emit Link_Label->linkActivated(Link.captured(1));
    QCOMPARE(F.Desktop.Opened, QStringList{Download_Page_Url()});

    for (int Tick = 2; Tick <= 3; ++Tick) {
        F.Window->Update_Watch.Timer_UpdateTimer();
        QCOMPARE(F.Http.Requests.size(), Tick);
        QVERIFY(!Link_Label->isVisible());
        QVERIFY(Timer.isActive());
        QCOMPARE(Timer.interval(), 7200000);
    }
    QVERIFY(!Timer_Ran_During_Query);
    QVERIFY(F.Prompts.Messages.isEmpty());
}

void Test_Soft_Options::Tick_During_Manual_Check_Waits_For_It()
{
    Window_Fixture F;
    F.Start(Settings(true, true));
    QTimer& Timer = F.Window->Update_Watch.Timer_Update;
    auto* Link_Label = Find<QLabel>(F.Window.get(), "LL_Update");
    int Depth = 0;
    int Deepest = 0;
    F.Http.On_Get = [&] {
        Deepest = std::max(Deepest, ++Depth);
        QTest::qWait(60); // the real query waits with events running
        --Depth;
    };
    F.Http.Replies = {QByteArray("VER. 0.000"), QByteArray("VER. 1.001")};
    F.With_Options([&](TFSoftOptions* Dialog) {
        Show_Tab(Dialog, "TS_Con_Options");
        Timer.start(5); // the first tick falls due while the manual check waits
        QTest::mouseClick(Find<QPushButton>(Dialog, "Btn_Check_Update"), Qt::LeftButton);
        QCOMPARE(F.Http.Requests.size(), 1);
        QCOMPARE(Find<QLabel>(Dialog, "LL_Check_Update")->text(), QString("No Update Available"));
        // The periodic check follows, on its own.
        QTRY_COMPARE(F.Http.Requests.size(), 2);
        QVERIFY(Link_Label->isVisible());
        Click(Dialog, "Btn_Cancel");
    });
    QCOMPARE(Deepest, 1);
    QCOMPARE(F.Http.Requests.size(), 2);
    QVERIFY(Timer.isActive());
    QCOMPARE(Timer.interval(), 7200000);
}

QTEST_MAIN(Test_Soft_Options)
#include "test_soft_options.moc"
