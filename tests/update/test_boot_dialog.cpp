#include "platform/Platform_Services.h"
#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Support.h"
#include "update/TFBoot.h"
#include "update/Update_Fakes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

#include <algorithm>

#include <memory>

using Test_Support::Find;
using Test_Support::Read_File;

namespace {

// The updater's file beside the program, as a Windows or a Linux program is named.
#ifdef Q_OS_WIN
const QString Updater_File = QStringLiteral("Ethernet_Update.exe");
#else
const QString Updater_File = QStringLiteral("Ethernet_Update");
#endif

// A program folder with one active configuration and the update dialog over
// fake seams.
struct Fixture {
    QTemporaryDir Dir;
    QString Exe_Dir = Dir.path() + "/prog";
    Workspace Space{Exe_Dir};
    Scripted_Prompter Prompts;
    Fake_Clock Time;
    Fake_Echo_Client Echo{Time};
    Fake_Process_Runner Runner{Time};
    std::unique_ptr<TFBoot> Dialog;

    Fixture()
    {
        QDir().mkpath(Exe_Dir + "/PROJECTS/Plant/bin");
        QDir().mkpath(Exe_Dir + "/MASTER");
        Test_Support::Write_File(Exe_Dir + "/MASTER/Sim40610.sim", "firmware");
        Space.Set_Identity();
        Space.Lang_Strings.Create_Default_Strings();
        Space.Activate_Project("Plant");
        Echo.Default_Reply = 40;
        Runner.Run_Ms = 2000;
        Platform_Services Services;
        Services.Prompts = &Prompts;
        Services.Time = &Time;
        Services.Echo = &Echo;
        Services.Processes = &Runner;
        Dialog = std::make_unique<TFBoot>(Space, Services);
    }
    void Show()
    {
        Dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(Dialog.get()));
    }
    QLineEdit* Field(int I) { return Find<QLineEdit>(Dialog.get(), QStringLiteral("E_IP%1").arg(I)); }
    QComboBox* Options() { return Find<QComboBox>(Dialog.get(), "CB_Update_Options"); }
    QCheckBox* Read_Back() { return Find<QCheckBox>(Dialog.get(), "CB_Update_Option_Read_Back"); }
    void Type_Address(const QStringList& Parts)
    {
        for (int I = 0; I < 4; ++I)
            Field(I + 1)->setText(Parts[I]);
    }
    void Click_Update() { QTest::mouseClick(Find<QPushButton>(Dialog.get(), "Btn_Update"), Qt::LeftButton); }
    QString Parameter_File() const { return QDir(Exe_Dir).filePath("Ethernet_Update.xml"); }
};

} // namespace

class Test_Boot_Dialog : public QObject {
    Q_OBJECT
private slots:
    void Texts_And_Layout();
    void First_Showing_Prefills_Defaults();
    void Unusable_Last_Address_Keeps_Fields_data();
    void Unusable_Last_Address_Keeps_Fields();
    void Dot_Moves_To_Next_Field();
    void Bad_Address_Refused_Before_Any_Request_data();
    void Bad_Address_Refused_Before_Any_Request();
    void Busy_While_Checking_And_Running();
    void Input_During_The_Updater_Is_Discarded();
    void Status_Line_Tells_How_The_Updater_Ended_data();
    void Status_Line_Tells_How_The_Updater_Ended();
    void Answering_Gateway_Stores_Writes_And_Starts();
    void Failed_Check_Changes_Nothing_data();
    void Failed_Check_Changes_Nothing();
    void Cancel_Keeps_Globals_Success_Preselects_Next_Time();
    void Cancel_During_Check_Starts_Nothing_data();
    void Cancel_During_Check_Starts_Nothing();
    void Parameter_File_Failure_Goes_To_Error_Handler();
    void Linked_Parameter_File_Refused();
    void Language_Change_Refills_Options();
    void Elapsed_Time_Shown_While_The_Updater_Runs();
    void Second_Update_Refused_While_The_First_Runs();
    void Missing_Firmware_Reported_Before_Anything_Starts_data();
    void Missing_Firmware_Reported_Before_Anything_Starts();
};

void Test_Boot_Dialog::Texts_And_Layout()
{
    Fixture F;
    F.Show();
    QCOMPARE(F.Dialog->windowTitle(), QStringLiteral("Update Device by Ethernet (UDP)"));
    QCOMPARE(Find<QLabel>(F.Dialog.get(), "L_SW_Code")->text(), QStringLiteral("SW40610"));
    QCOMPARE(Find<QLabel>(F.Dialog.get(), "L_SW_Desc")->text(), QStringLiteral("Update Device Using the Ethernet Port"));
    QCOMPARE(Find<QLabel>(F.Dialog.get(), "L_IP_Address")->text(), QStringLiteral("Insert the IP Address of Device"));
    QCOMPARE(Find<QLabel>(F.Dialog.get(), "L_Update_Options")->text(), QStringLiteral("Select Update Options"));
    QCOMPARE(F.Field(3)->toolTip(), QStringLiteral("Insert third byte of IP Address"));
    QCOMPARE(F.Field(3)->accessibleName(), QStringLiteral("Insert third byte of IP Address"));
    QCOMPARE(F.Options()->count(), 3);
    QCOMPARE(F.Options()->itemText(2), QStringLiteral("Configuration"));
    QCOMPARE(F.Read_Back()->text(), QStringLiteral("Read Back"));
    QCOMPARE(Find<QPushButton>(F.Dialog.get(), "Btn_Update")->text(), QStringLiteral("Execute Update Firmware"));
    QCOMPARE(Find<QPushButton>(F.Dialog.get(), "Btn_Cancel")->toolTip(), QStringLiteral("Exit without to do the Update"));

    // The two groups and the buttons stack inside the window, in tab order.
    auto* Address = Find<QWidget>(F.Dialog.get(), "CP_IP_Address");
    auto* Options = Find<QWidget>(F.Dialog.get(), "CP_Update_Options");
    auto* Update = Find<QPushButton>(F.Dialog.get(), "Btn_Update");
    QVERIFY(Address->geometry().bottom() < Options->geometry().top());
    QVERIFY(Options->geometry().bottom() < Update->geometry().top());
    QVERIFY(F.Dialog->rect().contains(Update->geometry()));
    F.Field(4)->setFocus();
    QTest::keyClick(F.Field(4), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(F.Options()));
}

void Test_Boot_Dialog::First_Showing_Prefills_Defaults()
{
    Fixture F;
    F.Show();
    QCOMPARE(F.Field(1)->text(), QStringLiteral("192"));
    QCOMPARE(F.Field(2)->text(), QStringLiteral("168"));
    QCOMPARE(F.Field(3)->text(), QStringLiteral("2"));
    QCOMPARE(F.Field(4)->text(), QStringLiteral("205"));
    QCOMPARE(F.Options()->currentIndex(), 0);
    QVERIFY(F.Read_Back()->isChecked());
    QVERIFY(F.Field(1)->hasFocus());
    QCOMPARE(F.Dialog->Form_Type, 1);
}

void Test_Boot_Dialog::Unusable_Last_Address_Keeps_Fields_data()
{
    QTest::addColumn<QString>("Last");
    QTest::newRow("empty") << QString();
    QTest::newRow("three parts") << QStringLiteral("10.0.1");
    QTest::newRow("part above 255") << QStringLiteral("10.0.1.256");
    QTest::newRow("letters") << QStringLiteral("gateway");
}

void Test_Boot_Dialog::Unusable_Last_Address_Keeps_Fields()
{
    QFETCH(QString, Last);
    Fixture F;
    F.Space.Last_IP_Address = Last;
    F.Show();
    for (int I = 1; I <= 4; ++I)
        QCOMPARE(F.Field(I)->text(), QStringLiteral("0"));
    // What the user typed at an earlier showing stays.
    F.Type_Address({"10", "1", "x", "7"});
    F.Dialog->hide();
    F.Show();
    QCOMPARE(F.Field(3)->text(), QStringLiteral("x"));
}

void Test_Boot_Dialog::Dot_Moves_To_Next_Field()
{
    Fixture F;
    F.Space.Last_IP_Address = QStringLiteral("192.168.200.205");
    F.Show();
    // Typed like a user does over the old address: each key goes to the field
    // that has the focus, and each field's old text is replaced.
    for (const char Key : QByteArray("10.0.7.5."))
        QTest::keyClick(QApplication::focusWidget(), Key);
    QCOMPARE(F.Field(1)->text(), QStringLiteral("10"));
    QCOMPARE(F.Field(2)->text(), QStringLiteral("0"));
    QCOMPARE(F.Field(3)->text(), QStringLiteral("7"));
    QCOMPARE(F.Field(4)->text(), QStringLiteral("5")); // "." in the last field does nothing
    QVERIFY(F.Field(4)->hasFocus());

    // At most three digits, and nothing but digits.
    F.Field(2)->setFocus();
    F.Field(2)->selectAll();
    for (const char Key : QByteArray("a1-2 34"))
        QTest::keyClick(QApplication::focusWidget(), Key);
    QCOMPARE(F.Field(2)->text(), QStringLiteral("123"));
}

void Test_Boot_Dialog::Bad_Address_Refused_Before_Any_Request_data()
{
    QTest::addColumn<int>("Field");
    QTest::addColumn<QString>("Text");
    QTest::newRow("above 255") << 2 << QStringLiteral("256");
    QTest::newRow("empty") << 4 << QString();
    QTest::newRow("a host name") << 1 << QStringLiteral("gw");
    QTest::newRow("blank inside") << 3 << QStringLiteral("1 ");
    QTest::newRow("sign") << 3 << QStringLiteral("+1");
    QTest::newRow("hexadecimal") << 1 << QStringLiteral("$FF");
}

void Test_Boot_Dialog::Bad_Address_Refused_Before_Any_Request()
{
    QFETCH(int, Field);
    QFETCH(QString, Text);
    Fixture F;
    F.Show();
    QStringList Parts{"127", "0", "0", "1"};
    Parts[Field - 1] = Text;
    F.Type_Address(Parts);
    Find<QPushButton>(F.Dialog.get(), "Btn_Update")->setFocus();
    F.Click_Update();
    QCOMPARE(F.Prompts.Texts(), QStringList{F.Space.Str(1037)});
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    // Not one request: no text of the user's reaches the echo client or a resolver.
    QVERIFY(F.Echo.Requests.isEmpty());
    QVERIFY(F.Runner.Starts.isEmpty());
    QVERIFY(!QFileInfo::exists(F.Parameter_File()));
    QCOMPARE(F.Space.Last_IP_Address, QStringLiteral("192.168.2.205"));
    QCOMPARE(F.Dialog->focusWidget(), static_cast<QWidget*>(F.Field(Field)));
    QCOMPARE(F.Field(Field)->selectedText(), F.Field(Field)->text());
}

void Test_Boot_Dialog::Busy_While_Checking_And_Running()
{
    Fixture F;
    F.Show();
    F.Type_Address({"127", "0", "0", "1"});
    auto* Update = Find<QPushButton>(F.Dialog.get(), "Btn_Update");
    auto* Cancel = Find<QPushButton>(F.Dialog.get(), "Btn_Cancel");
    const QList<QWidget*> Inputs{F.Field(1), F.Field(4), F.Options(), F.Read_Back(), Update};
    const auto Disabled = [&] {
        return std::all_of(Inputs.begin(), Inputs.end(), [](QWidget* W) { return !W->isEnabled(); });
    };
    const auto Busy_Cursor = [] {
        return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    };
    bool Checked_During_Check = false;
    bool Checked_During_Run = false;
    F.Echo.While_Waiting = [&] {
        // The check can still be cancelled.
        Checked_During_Check = Disabled() && Cancel->isEnabled() && Busy_Cursor();
    };
    F.Runner.While_Running = [&] { Checked_During_Run = Disabled() && !Cancel->isEnabled() && Busy_Cursor(); };
    Update->setFocus();
    F.Click_Update();
    QVERIFY(Checked_During_Check);
    QVERIFY(Checked_During_Run);
    for (QWidget* W : Inputs)
        QVERIFY(W->isEnabled());
    QVERIFY(Cancel->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(F.Dialog->focusWidget(), static_cast<QWidget*>(Update));
}

void Test_Boot_Dialog::Input_During_The_Updater_Is_Discarded()
{
    Fixture F;
    F.Show();
    F.Type_Address({"127", "0", "0", "1"});
    auto* Update = Find<QPushButton>(F.Dialog.get(), "Btn_Update");
    // What the window system hands over once the frozen window reads its
    // input again: a second click on the update button, and Escape.
    F.Runner.While_Running = [&] {
        const QPointF Centre = QRectF(Update->rect()).center();
        const QPointF Global = Update->mapToGlobal(Centre);
        for (const QEvent::Type Type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(Update, new QMouseEvent(Type, Centre, Global, Qt::LeftButton,
                                                                Type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                                                 : Qt::NoButton,
                                                                Qt::NoModifier));
        QCoreApplication::postEvent(F.Dialog.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    };
    F.Click_Update();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(F.Runner.Starts.size(), 1);
    QCOMPARE(F.Echo.Requests.size(), 2);
    QVERIFY(F.Dialog->isVisible());

    // Input after the end is the user's again.
    F.Runner.While_Running = nullptr;
    F.Click_Update();
    QCOMPARE(F.Runner.Starts.size(), 2);
}

void Test_Boot_Dialog::Status_Line_Tells_How_The_Updater_Ended_data()
{
    QTest::addColumn<bool>("Startable");
    QTest::addColumn<qint64>("Run_Ms");
    QTest::addColumn<qint64>("Code");
    QTest::addColumn<QString>("Status");
    const QString Ended = "The updater ended with exit code %1: %2.";
    QTest::newRow("completed") << true << qint64(2000) << qint64(0) << Ended.arg(0).arg("the update completed");
    QTest::newRow("transfer failed") << true << qint64(2000) << qint64(1)
                                     << Ended.arg(1).arg("the transfer to the device failed, its window tells why");
    QTest::newRow("unusable parameter file")
        << true << qint64(10) << qint64(2)
        << Ended.arg(2).arg("the parameter file or a file it names could not be used, nothing was sent");
    QTest::newRow("undocumented code") << true << qint64(10) << qint64(7)
                                       << Ended.arg(7).arg("a code the updater does not document");
    QTest::newRow("crashed") << true << qint64(10) << qint64(-1) << Ended.arg(-1).arg("the updater stopped abnormally");
    QTest::newRow("still running at the limit")
        << true << qint64(-1) << qint64(0)
        << QStringLiteral("The updater is still running after 150 seconds; the configurator no longer waits for it.");
    QTest::newRow("not started") << false << qint64(0) << qint64(0) << QStringLiteral("The updater could not be started: %1");
}

void Test_Boot_Dialog::Status_Line_Tells_How_The_Updater_Ended()
{
    QFETCH(bool, Startable);
    QFETCH(qint64, Run_Ms);
    QFETCH(qint64, Code);
    QFETCH(QString, Status);
    Fixture F;
    F.Runner.Startable = Startable;
    F.Runner.Run_Ms = Run_Ms;
    F.Runner.Code = Code;
    F.Show();
    auto* Line = Find<QLabel>(F.Dialog.get(), "L_Status");
    QCOMPARE(Line->text(), QString());
    F.Type_Address({"127", "0", "0", "1"});
    F.Click_Update();
    if (!Startable)
        Status = Status.arg(QDir::toNativeSeparators(QDir(F.Exe_Dir).filePath(Updater_File)));
    QCOMPARE(Line->text(), Status);
    QVERIFY(Line->isVisible());
    QVERIFY(F.Dialog->rect().contains(Line->geometry()));
    QVERIFY(F.Prompts.Messages.isEmpty());
    // A new showing starts without the old outcome.
    F.Dialog->hide();
    F.Show();
    QCOMPARE(Line->text(), QString());
}

void Test_Boot_Dialog::Answering_Gateway_Stores_Writes_And_Starts()
{
    Fixture F;
    F.Show();
    F.Type_Address({"127", "0", "0", "001"});
    F.Options()->setCurrentIndex(2);
    F.Read_Back()->setChecked(false);
    F.Click_Update();

    QCOMPARE(F.Prompts.Messages.size(), 0);
    QCOMPARE(F.Dialog->ping_res, 1);
    QCOMPARE(F.Echo.Requests.size(), 2);
    QCOMPARE(F.Echo.Requests[0].Host, QStringLiteral("127.0.0.1"));
    // Stored and written in plain form, leading zeros dropped.
    QCOMPARE(F.Space.Last_IP_Address, QStringLiteral("127.0.0.1"));
    QCOMPARE(F.Space.Update_Option_Index, 2);
    QCOMPARE(F.Space.Update_Read_Back, false);
    const QByteArray File = Read_File(F.Parameter_File());
    QVERIFY(File.contains("<IP_Address_Dev>127.0.0.1</IP_Address_Dev>"));
    QVERIFY(File.contains("bank1.bin") && !File.contains("Sim40610.sim"));
    QVERIFY(File.contains("<Ope_Read_Back>0</Ope_Read_Back>"));
    QCOMPARE(F.Runner.Starts.size(), 1);
    QCOMPARE(F.Runner.Starts[0].Program, QDir(F.Exe_Dir).filePath(Updater_File));
    QCOMPARE(F.Runner.Starts[0].Parameters, QString());
    QVERIFY(!F.Runner.Starts[0].Hidden);
    QCOMPARE(F.Dialog->Last_Start, Start_Program_Outcome::Ended);
    QVERIFY(F.Dialog->isVisible()); // stays open until the user closes it
}

void Test_Boot_Dialog::Failed_Check_Changes_Nothing_data()
{
    QTest::addColumn<QString>("Echo_Error");
    QTest::addColumn<int>("Kind");
    QTest::addColumn<QString>("Message");
    QTest::addColumn<int>("Requests");
    QTest::newRow("silent gateway") << QString() << int(Prompt_Kind::Warning) << QStringLiteral("Device Not Found!") << 13;
    QTest::newRow("unusable address") << QStringLiteral("no such host") << int(Prompt_Kind::Error)
                                      << QStringLiteral("Error!!! Check the Ip Address") << 1;
}

void Test_Boot_Dialog::Failed_Check_Changes_Nothing()
{
    QFETCH(QString, Echo_Error);
    QFETCH(int, Kind);
    QFETCH(QString, Message);
    QFETCH(int, Requests);
    Fixture F;
    F.Echo.Default_Reply = 0;
    F.Echo.Error = Echo_Error;
    F.Show();
    F.Type_Address({"127", "0", "0", "1"});
    F.Options()->setCurrentIndex(1);
    F.Click_Update();

    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(int(F.Prompts.Messages[0].Kind), Kind);
    QCOMPARE(F.Prompts.Messages[0].Text, Message);
    QCOMPARE(F.Prompts.Messages[0].Buttons, Prompt_Buttons::Ok);
    QCOMPARE(F.Echo.Requests.size(), Requests);
    QCOMPARE(F.Space.Last_IP_Address, QStringLiteral("192.168.2.205"));
    QCOMPARE(F.Space.Update_Option_Index, 0);
    QVERIFY(!QFileInfo::exists(F.Parameter_File()));
    QVERIFY(F.Runner.Starts.isEmpty());
}

void Test_Boot_Dialog::Cancel_Keeps_Globals_Success_Preselects_Next_Time()
{
    Fixture F;
    F.Show();
    F.Options()->setCurrentIndex(2);
    F.Read_Back()->setChecked(false);
    QTest::mouseClick(Find<QPushButton>(F.Dialog.get(), "Btn_Cancel"), Qt::LeftButton);
    QVERIFY(!F.Dialog->isVisible());
    QCOMPARE(F.Space.Update_Option_Index, 0);
    QVERIFY(F.Space.Update_Read_Back);
    F.Show();
    QCOMPARE(F.Options()->currentIndex(), 0);
    QVERIFY(F.Read_Back()->isChecked());

    F.Options()->setCurrentIndex(2);
    F.Read_Back()->setChecked(false);
    F.Type_Address({"127", "0", "0", "1"});
    F.Click_Update();
    F.Dialog->hide();
    F.Space.Last_IP_Address = "10.1.2.3";
    F.Show();
    QCOMPARE(F.Options()->currentIndex(), 2);
    QVERIFY(!F.Read_Back()->isChecked());
    QCOMPARE(F.Field(1)->text(), QStringLiteral("10"));
    QCOMPARE(F.Field(4)->text(), QStringLiteral("3"));
}

void Test_Boot_Dialog::Cancel_During_Check_Starts_Nothing_data()
{
    QTest::addColumn<int>("Reply");
    QTest::newRow("answering gateway") << 40;
    QTest::newRow("silent gateway") << 0;
}

void Test_Boot_Dialog::Cancel_During_Check_Starts_Nothing()
{
    QFETCH(int, Reply);
    Fixture F;
    F.Echo.Default_Reply = Reply;
    F.Show();
    F.Type_Address({"127", "0", "0", "1"});
    F.Options()->setCurrentIndex(2);
    auto* Cancel = Find<QPushButton>(F.Dialog.get(), "Btn_Cancel");
    F.Echo.While_Waiting = [&] {
        if (F.Echo.Requests.size() == 1)
            QTest::mouseClick(Cancel, Qt::LeftButton);
    };
    F.Click_Update();

    // The user said no: the check stops, nothing is stored, written or started,
    // and no message about the device follows.
    QVERIFY(!F.Dialog->isVisible());
    QCOMPARE(F.Echo.Requests.size(), 1);
    QVERIFY(F.Prompts.Messages.isEmpty());
    QCOMPARE(F.Space.Last_IP_Address, QStringLiteral("192.168.2.205"));
    QCOMPARE(F.Space.Update_Option_Index, 0);
    QVERIFY(!QFileInfo::exists(F.Parameter_File()));
    QVERIFY(F.Runner.Starts.isEmpty());

    // The next showing checks and updates as usual.
    F.Echo.While_Waiting = nullptr;
    F.Echo.Default_Reply = 40;
    F.Show();
    F.Type_Address({"127", "0", "0", "1"});
    F.Click_Update();
    QCOMPARE(F.Runner.Starts.size(), 1);
    QCOMPARE(F.Space.Last_IP_Address, QStringLiteral("127.0.0.1"));
}

void Test_Boot_Dialog::Parameter_File_Failure_Goes_To_Error_Handler()
{
    Fixture F;
    QVERIFY(QDir().mkpath(F.Parameter_File())); // a folder where the file should go
    F.Show();
    F.Type_Address({"127", "0", "0", "1"});
    F.Click_Update();
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QVERIFY(F.Prompts.Messages[0].Text.contains("Ethernet_Update.xml"));
    QVERIFY(F.Runner.Starts.isEmpty());
    QVERIFY(F.Dialog->isVisible());
}

void Test_Boot_Dialog::Linked_Parameter_File_Refused()
{
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes a shortcut (.lnk) on Windows, not a link that the file system follows");
#endif
    Fixture F;
    QTemporaryDir Outside;
    QVERIFY(QFile::link(Outside.filePath("target.xml"), F.Parameter_File()));
    F.Show();
    F.Type_Address({"127", "0", "0", "1"});
    F.Click_Update();
    QCOMPARE(F.Prompts.Texts(), QStringList{F.Space.Str(1108).arg(QDir::toNativeSeparators(F.Parameter_File()))});
    QVERIFY(!QFileInfo::exists(Outside.filePath("target.xml")));
    QVERIFY(F.Runner.Starts.isEmpty());
}

void Test_Boot_Dialog::Language_Change_Refills_Options()
{
    Fixture F;
    F.Show();
    F.Options()->setCurrentIndex(2);
    F.Space.Lang_Strings.Set(1016, QStringLiteral("Nur Firmware"));
    F.Space.Lang_Strings.Set(1020, QStringLiteral("Aktualisieren"));
    F.Dialog->Set_Lang();
    QCOMPARE(F.Options()->itemText(1), QStringLiteral("Nur Firmware"));
    QCOMPARE(F.Options()->currentIndex(), 0);
    QCOMPARE(Find<QPushButton>(F.Dialog.get(), "Btn_Update")->text(), QStringLiteral("Aktualisieren"));
    QCOMPARE(Find<QPushButton>(F.Dialog.get(), "Btn_Update")->accessibleName(), QStringLiteral("Aktualisieren"));
}

// While the updater runs, window messages run (the window repaints) and the
// status line counts the seconds.
void Test_Boot_Dialog::Elapsed_Time_Shown_While_The_Updater_Runs()
{
    Fixture F;
    F.Show();
    F.Type_Address({"127", "0", "0", "1"});
    F.Runner.Run_Ms = 5000;
    auto* Status = Find<QLabel>(F.Dialog.get(), "L_Status");
    QStringList Seen;
    F.Runner.On_Look = [&](int Looks) {
        // A look every 10 ms: after 0.5 s, 3.5 s and the last look.
        if (Looks == 51 || Looks == 351 || Looks == 500)
            Seen.append(Status->text());
    };
    const int Pumps_Before = F.Time.Message_Pumps;
    F.Click_Update();
    QCOMPARE(Seen, QStringList({"The updater is running (0 s)...", "The updater is running (3 s)...",
                                "The updater is running (4 s)..."}));
    QVERIFY(F.Time.Message_Pumps - Pumps_Before >= 500);
    QCOMPARE(Status->text(), QStringLiteral("The updater ended with exit code 0: the update completed."));
}

// After the wait has given up, the updater may still run; a second update
// next to it is refused with its process id, until it has ended.
void Test_Boot_Dialog::Second_Update_Refused_While_The_First_Runs()
{
    Fixture F;
    F.Show();
    F.Type_Address({"127", "0", "0", "1"});
    F.Runner.Run_Ms = -1;
    F.Click_Update();
    QCOMPARE(F.Dialog->Last_Start, Start_Program_Outcome::Timed_Out);
    QCOMPARE(F.Dialog->Running_Updater(), std::optional<qint64>(4242));
    const qsizetype Requests = F.Echo.Requests.size();
    const QByteArray Parameters = Read_File(F.Parameter_File());
    F.Options()->setCurrentIndex(2);

    F.Click_Update();
    QCOMPARE(F.Prompts.Texts(),
             QStringList{"The updater of the last update is still running (process 4242). A second update cannot "
                         "start while it runs; wait for it to end."});
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QCOMPARE(F.Runner.Starts.size(), 1);
    QCOMPARE(F.Echo.Requests.size(), Requests);
    QCOMPARE(Read_File(F.Parameter_File()), Parameters);  // the running updater's file is left alone

    // Once it has ended, the next update goes on.
    F.Runner.Run_Ms = 0;
    QVERIFY(!F.Dialog->Running_Updater());
    F.Click_Update();
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Runner.Starts.size(), 2);
    QCOMPARE(F.Dialog->Last_Start, Start_Program_Outcome::Ended);
}

void Test_Boot_Dialog::Missing_Firmware_Reported_Before_Anything_Starts_data()
{
    QTest::addColumn<int>("Option");
    QTest::addColumn<bool>("Refused");
    QTest::newRow("firmware + configuration") << 0 << true;
    QTest::newRow("firmware") << 1 << true;
    QTest::newRow("configuration only") << 2 << false;
}

void Test_Boot_Dialog::Missing_Firmware_Reported_Before_Anything_Starts()
{
    QFETCH(int, Option);
    QFETCH(bool, Refused);
    Fixture F;
    const QString Firmware = F.Exe_Dir + "/MASTER/Sim40610.sim";
    QVERIFY(QFile::remove(Firmware));
    F.Show();
    F.Type_Address({"127", "0", "0", "1"});
    F.Options()->setCurrentIndex(Option);
    F.Click_Update();
    if (!Refused) {
        QCOMPARE(F.Prompts.Messages.size(), 0);
        QCOMPARE(F.Runner.Starts.size(), 1);
        return;
    }
    QCOMPARE(F.Prompts.Texts(),
             QStringList{QStringLiteral("The firmware image %1 is missing; the update was not started.")
                             .arg(QDir::toNativeSeparators(Firmware))});
    QVERIFY(F.Echo.Requests.isEmpty());
    QVERIFY(F.Runner.Starts.isEmpty());
    QVERIFY(!QFileInfo::exists(F.Parameter_File()));
}

QTEST_MAIN(Test_Boot_Dialog)
#include "test_boot_dialog.moc"
