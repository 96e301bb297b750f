// The window "Find gateways" as a user meets it, on a veth pair in this
// test's own network namespace with the simulated devices on the other end:
// opened from the main window's button and from the update dialog.

#include "dcp/Hostile_Responder.h"
#include "dcp/Namespace_Wire.h"
#include "dcp/Simulated_Devices.h"
#include "dcp/TFFind_Gateways.h"
#include "foundation/Workspace.h"
#include "platform/Raw_Ethernet.h"
#include "project/Par_Gen_File.h"
#include "support/Program_Folder.h"
#include "support/Test_Support.h"
#include "update/TFBoot.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <optional>

using Test_Support::Find;
using Test_Support::When_Modal;

namespace {

// Counts the events of one kind an object receives.
class Event_Counter : public QObject {
public:
    Event_Counter(QObject* Watched, QEvent::Type Kind_, int& Count_) : Kind(Kind_), Count(Count_)
    {
        Watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* Event) override
    {
        Count += Event->type() == Kind ? 1 : 0;
        return false;
    }

private:
    QEvent::Type Kind;
    int& Count;
};

const QString Gateway_1 = QStringLiteral("02:06:10:00:00:00");
const QString Gateway_2 = QStringLiteral("02:06:10:00:00:01");
const QString Gateway_3 = QStringLiteral("02:06:10:00:00:02");

// The simulated devices on dcp1: three gateways (the first already named and
// addressed) and two devices of another maker.
class Devices : public Simulator {
public:
    explicit Devices(const QString& Dir, const QStringList& Extra = {})
        : Simulator(With_State(Dir), QStringList{"--devices", "3", "--foreign", "2"} + Extra)
    {
    }

private:
    // Dir, once its state file names and addresses the first gateway.
    static QString With_State(const QString& Dir)
    {
        QFile File(Dir + "/state");
        if (File.open(QIODevice::WriteOnly))
            File.write(Gateway_1.toLatin1() + " gw-a 10.1.1.30 255.255.255.0 0.0.0.0\n");
        return Dir;
    }
};

int Row_Of(QTableWidget* Table, const QString& Mac)
{
    for (int Row = 0; Row < Table->rowCount(); ++Row)
        if (Table->item(Row, 4)->text() == Mac)
            return Row;
    return -1;
}

QString Cell(QTableWidget* Table, const QString& Mac, int Column)
{
    const int Row = Row_Of(Table, Mac);
    return Row < 0 ? QStringLiteral("<no row>") : Table->item(Row, Column)->text();
}

// The exchange started by a click runs beside the window: its end is waited for.
void Wait_Idle(QWidget* Dialog)
{
    QTRY_VERIFY_WITH_TIMEOUT(!static_cast<TFFind_Gateways*>(Dialog)->Busy(), 30000);
}

void Choose_Interface(QWidget* Dialog)
{
    auto* Interfaces = Find<QComboBox>(Dialog, "CB_Interface");
    Interfaces->setCurrentIndex(Interfaces->findData(QStringLiteral("dcp0")));
}

} // namespace

class Test_Find_Gateways_Window : public QObject {
    Q_OBJECT
private slots:
    void From_The_Main_Window();
    void From_The_Update_Dialog();
    void Result_Line_Follows_The_Language();
    void Shared_Name_And_Address_Are_Asked_About();
    void Search_Says_What_It_Passed_Over();
    void Window_Lives_While_A_Device_Answers_Slowly();
    void Cancel_Ends_The_Wait_data();
    void Cancel_Ends_The_Wait();
    void Each_Failure_Has_Its_Own_Text_data();
    void Each_Failure_Has_Its_Own_Text();
    void Address_Conflict_Is_Shown_In_The_Table();

private:
    void Main_Window_Script(QWidget* Dialog, Program_Folder& F, Devices& Wire);
};

void Test_Find_Gateways_Window::Main_Window_Script(QWidget* Dialog, Program_Folder& F, Devices& Wire)
{
    auto* Table = Find<QTableWidget>(Dialog, "TW_Devices");
    Choose_Interface(Dialog);
    QTest::mouseClick(Find<QPushButton>(Dialog, "Btn_Search"), Qt::LeftButton);
    Wait_Idle(Dialog);
    QCOMPARE(Table->rowCount(), 5);
    // Gateways of this type first and marked; the others shown, never changed from here.
    for (int Row = 0; Row < 5; ++Row)
        QCOMPARE(Table->item(Row, 0)->font().bold(), Row < 3);
    QCOMPARE(Cell(Table, Gateway_1, 0), QStringLiteral("gw-a"));
    QCOMPARE(Cell(Table, Gateway_1, 6), QStringLiteral("0x1111 / 0x0221"));
    Table->selectRow(4);
    for (const char* Button : {"Btn_Flash", "Btn_Set_Name", "Btn_Set_Ip"})
        QVERIFY2(!Find<QPushButton>(Dialog, Button)->isEnabled(), Button);

    // The name and address come prefilled from the active configuration, "permanent" checked.
    QCOMPARE(Find<QLineEdit>(Dialog, "E_Name")->text(), QStringLiteral("gw-line-1"));
    QCOMPARE(Find<QLineEdit>(Dialog, "E_Address")->text(), QStringLiteral("10.1.1.20"));
    QCOMPARE(Find<QLineEdit>(Dialog, "E_Mask")->text(), QStringLiteral("255.255.255.0"));
    QCOMPARE(Find<QLineEdit>(Dialog, "E_Gateway")->text(), QStringLiteral("10.1.1.1"));
    QVERIFY(Find<QCheckBox>(Dialog, "CB_Permanent")->isChecked());

    // Set name: asked first (default No), the answer shown, the row refreshed from the device.
    Table->selectRow(Row_Of(Table, Gateway_2));
    F.Prompts.Messages.clear();
    F.Prompts.Answers = {Prompt_Answer::Yes};
    QTest::mouseClick(Find<QPushButton>(Dialog, "Btn_Set_Name"), Qt::LeftButton);
    Wait_Idle(Dialog);
    QCOMPARE(F.Prompts.Messages.size(), 2);
    QCOMPARE(F.Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
    QCOMPARE(F.Prompts.Messages[0].Text, QStringLiteral("Give the device %1 the station name \"gw-line-1\"?").arg(Gateway_2));
    QCOMPARE(F.Prompts.Messages[1].Text, QStringLiteral("The device %1 has done it").arg(Gateway_2));
    QCOMPARE(Cell(Table, Gateway_2, 0), QStringLiteral("gw-line-1"));
    QVERIFY(Wire.Log().contains("SET NAME " + Gateway_2.toLatin1() + " gw-line-1 permanent"));

    // Answered No: nothing is sent.
    Table->selectRow(Row_Of(Table, Gateway_3));
    QTest::mouseClick(Find<QPushButton>(Dialog, "Btn_Set_Name"), Qt::LeftButton);
    Wait_Idle(Dialog);
    QVERIFY(!Wire.Log().contains("SET NAME " + Gateway_3.toLatin1()));

    // The same name on a second gateway: both flagged.
    F.Prompts.Answers = {Prompt_Answer::Yes};
    QTest::mouseClick(Find<QPushButton>(Dialog, "Btn_Set_Name"), Qt::LeftButton);
    Wait_Idle(Dialog);
    QCOMPARE(Cell(Table, Gateway_3, 0), QStringLiteral("gw-line-1"));
    for (const QString& Mac : {Gateway_2, Gateway_3})
        QCOMPARE(Table->item(Row_Of(Table, Mac), 0)->toolTip(), QStringLiteral("This station name is held by more than one device"));
    QVERIFY(Table->item(Row_Of(Table, Gateway_1), 0)->toolTip() != QStringLiteral("This station name is held by more than one device"));

    // An invalid name is refused with its rule, before any question.
    F.Prompts.Messages.clear();
    Find<QLineEdit>(Dialog, "E_Name")->setText(QStringLiteral("Line 1"));
    QTest::mouseClick(Find<QPushButton>(Dialog, "Btn_Set_Name"), Qt::LeftButton);
    Wait_Idle(Dialog);
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QVERIFY2(F.Prompts.Last_Text().contains(QStringLiteral("only the letters a-z")), qPrintable(F.Prompts.Last_Text()));

    // Set IP, temporary this time.
    Find<QCheckBox>(Dialog, "CB_Permanent")->setChecked(false);
    F.Prompts.Answers = {Prompt_Answer::Yes};
    QTest::mouseClick(Find<QPushButton>(Dialog, "Btn_Set_Ip"), Qt::LeftButton);
    Wait_Idle(Dialog);
    QCOMPARE(Cell(Table, Gateway_3, 1), QStringLiteral("10.1.1.20"));
    QCOMPARE(Cell(Table, Gateway_3, 3), QStringLiteral("10.1.1.1"));
    QVERIFY(Wire.Log().contains("SET IP " + Gateway_3.toLatin1() + " 10.1.1.20 255.255.255.0 10.1.1.1 temporary"));

    // A wrong mask is refused before anything is asked.
    F.Prompts.Messages.clear();
    Find<QLineEdit>(Dialog, "E_Mask")->setText(QStringLiteral("255.0.255.0"));
    QTest::mouseClick(Find<QPushButton>(Dialog, "Btn_Set_Ip"), Qt::LeftButton);
    Wait_Idle(Dialog);
    QCOMPARE(F.Prompts.Texts(), QStringList{"The IP address, subnet mask or gateway is not valid"});

    // Flash LED.
    F.Prompts.Answers = {Prompt_Answer::Yes};
    QTest::mouseClick(Find<QPushButton>(Dialog, "Btn_Flash"), Qt::LeftButton);
    Wait_Idle(Dialog);
    QVERIFY(Wire.Log().contains("SIGNAL " + Gateway_3.toLatin1()));
    // From the main window there is no address to hand back.
    QVERIFY(Find<QPushButton>(Dialog, "Btn_Use_Address")->isHidden());
}

void Test_Find_Gateways_Window::From_The_Main_Window()
{
    Program_Folder F;
    const QString Project = F.Add_Project(QStringLiteral("Line 1"));
    F.Remember_Project(QStringLiteral("Line 1"));
    Par_Gen::Values Parameters = Par_Gen::Defaults();
    Parameters[Par_Gen::PROFINET_NAME_STA] = QStringLiteral("gw-line-1");
    const QStringList Address{"10", "1", "1", "20"}, Mask{"255", "255", "255", "0"}, Gateway{"10", "1", "1", "1"};
    for (int I = 0; I < 4; ++I) {
        Parameters[Par_Gen::PROFINET_IP1 + I] = Address[I];
        Parameters[Par_Gen::PROFINET_SM1 + I] = Mask[I];
        Parameters[Par_Gen::PROFINET_GAT1 + I] = Gateway[I];
    }
    QVERIFY(Par_Gen::Save(Project + "/ParGen.xml", Parameters));
    Devices Wire(F.Dir.path());
    QVERIFY(Wire.Ready());

    Pcap_Raw_Ethernet Ethernet;
    Platform_Services Services;
    Services.Ethernet = &Ethernet;
    F.Start(Services);
    When_Modal(
        [&](QWidget* Dialog) {
            Main_Window_Script(Dialog, F, Wire);
            static_cast<QDialog*>(Dialog)->reject();
        },
        20000);
    F.Click(QStringLiteral("Btn_Find_Gateways"));
    if (QTest::currentTestFailed())
        return;
    // The interface searched is remembered in the settings file.
    QVERIFY(F.Window->close());
    QVERIFY2(Test_Support::Read_File(F.Exe_Dir + "/Tavorix.xml").contains("<lastinterface><name>dcp0</name></lastinterface>"),
             Test_Support::Read_File(F.Exe_Dir + "/Tavorix.xml").constData());
}

void Test_Find_Gateways_Window::From_The_Update_Dialog()
{
    Program_Folder F;
    Devices Wire(F.Dir.path());
    QVERIFY(Wire.Ready());
    Pcap_Raw_Ethernet Ethernet;
    Platform_Services Services;
    Services.Prompts = &F.Prompts;
    Services.Ethernet = &Ethernet;
    F.Space.Lang_Strings.Create_Default_Strings();
    F.Space.Last_Interface = QStringLiteral("dcp0");
    TFBoot Boot(F.Space, Services);
    Boot.show();
    When_Modal(
        [&](QWidget* Dialog) {
            [&] {
                // The interface last searched is chosen already.
                QCOMPARE(Find<QComboBox>(Dialog, "CB_Interface")->currentData().toString(), QStringLiteral("dcp0"));
                QTest::mouseClick(Find<QPushButton>(Dialog, "Btn_Search"), Qt::LeftButton);
                Wait_Idle(Dialog);
                auto* Table = Find<QTableWidget>(Dialog, "TW_Devices");
                auto* Use = Find<QPushButton>(Dialog, "Btn_Use_Address");
                QVERIFY(Use->isVisible());
                QCOMPARE(Find<QLabel>(Dialog, "L_Status")->text(), QStringLiteral("5 devices answered on dcp0, 3 of them gateways GW40610"));
                // A gateway without an address has none to give.
                Table->selectRow(Row_Of(Table, Gateway_2));
                QVERIFY(!Use->isEnabled());
                Table->selectRow(Row_Of(Table, Gateway_1));
                QVERIFY(Use->isEnabled());
                QTest::mouseClick(Use, Qt::LeftButton);
            }();
            if (Dialog->isVisible())
                static_cast<QDialog*>(Dialog)->reject();
        },
        20000);
    QTest::mouseClick(Find<QPushButton>(&Boot, "Btn_Find_Gateways"), Qt::LeftButton);
    QStringList Fields;
    for (int I = 1; I <= 4; ++I)
        Fields.append(Find<QLineEdit>(&Boot, QStringLiteral("E_IP%1").arg(I))->text());
    QCOMPARE(Fields, (QStringList{"10", "1", "1", "30"}));
}

namespace {

// The dialog on its own, searched once on dcp0: with the simulated devices
// there, or with whatever a test started there itself.
struct Searched {
    Program_Folder F;
    std::optional<Devices> Wire;
    Pcap_Raw_Ethernet Ethernet;
    Platform_Services Services;
    std::unique_ptr<TFFind_Gateways> Dialog;
    QTableWidget* Table = nullptr;

    explicit Searched(bool Simulated = true, const QStringList& Extra = {})
    {
        if (Simulated)
            Wire.emplace(F.Dir.path(), Extra);
    }
    // The dialog shown, not yet searched.
    void Open()
    {
        if (Wire)
            QVERIFY(Wire->Ready());
        Services.Prompts = &F.Prompts;
        Services.Ethernet = &Ethernet;
        F.Space.Lang_Strings.Create_Default_Strings();
        F.Space.Last_Interface = QStringLiteral("dcp0");
        Dialog = std::make_unique<TFFind_Gateways>(F.Space, Services);
        Dialog->Refresh_Window = std::chrono::milliseconds(300);
        Dialog->show();
        Table = Find<QTableWidget>(Dialog.get(), "TW_Devices");
    }
    void Start()
    {
        Open();
        if (QTest::currentTestFailed())
            return;
        Click("Btn_Search");
    }
    QString Status() const { return Find<QLabel>(Dialog.get(), "L_Status")->text(); }
    void Type(const char* Name, const QString& Text) { Find<QLineEdit>(Dialog.get(), Name)->setText(Text); }
    void Click(const char* Name)
    {
        QTest::mouseClick(Find<QPushButton>(Dialog.get(), Name), Qt::LeftButton);
        Wait_Idle(Dialog.get());
    }
    void Select(const QString& Mac) { Table->selectRow(Row_Of(Table, Mac)); }
};

} // namespace

void Test_Find_Gateways_Window::Result_Line_Follows_The_Language()
{
    Searched S;
    S.Start();
    QCOMPARE(S.Table->rowCount(), 5);
    QCOMPARE(S.Status(), QStringLiteral("5 devices answered on dcp0, 3 of them gateways GW40610"));
    // Written anew from what the search found, in the language switched to.
    QCOMPARE(Load_Language(S.F.Space.Lang_Strings, QStringLiteral(SW_RESOURCES_DIR "/LANGUAGE"), QStringLiteral("Deutsch")),
             QStringLiteral("Deutsch"));
    S.Dialog->Set_Lang();
    QCOMPARE(S.Status(), QString::fromUtf8("5 Geräte haben auf dcp0 geantwortet, davon 3 Gateways GW40610"));
    // So is a device's answer, its refusal reason a text of the table too.
    S.Select(Gateway_3);
    S.F.Prompts.Answers = {Prompt_Answer::Yes};
    S.Click("Btn_Flash");
    QCOMPARE(S.Status(), QString::fromUtf8("Das Gerät %1 hat es ausgeführt").arg(Gateway_3));
    Load_Language(S.F.Space.Lang_Strings, QStringLiteral(SW_RESOURCES_DIR "/LANGUAGE"), QStringLiteral("English"));
    S.Dialog->Set_Lang();
    QCOMPARE(S.Status(), QStringLiteral("The device %1 has done it").arg(Gateway_3));
}

void Test_Find_Gateways_Window::Shared_Name_And_Address_Are_Asked_About()
{
    Searched S;
    S.Start();
    QCOMPARE(S.Table->rowCount(), 5);
    auto& Prompts = S.F.Prompts;

    // A name the first gateway holds: the question names it, No by default, nothing sent.
    S.Select(Gateway_2);
    S.Type("E_Name", QStringLiteral("gw-a"));
    S.Click("Btn_Set_Name");
    QCOMPARE(Prompts.Messages.size(), 1);
    QCOMPARE(Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
    QCOMPARE(Prompts.Messages[0].Text, QStringLiteral("The device %1 (\"gw-a\") holds the station name \"gw-a\" already. "
                                                      "Give the device %2 the same station name?")
                                           .arg(Gateway_1, Gateway_2));
    QVERIFY(!S.Wire->Log().contains("SET NAME " + Gateway_2.toLatin1()));

    // An address it holds: the same.
    Prompts.Messages.clear();
    S.Type("E_Address", QStringLiteral("10.1.1.30"));
    S.Type("E_Mask", QStringLiteral("255.255.255.0"));
    S.Type("E_Gateway", QStringLiteral("0.0.0.0"));
    S.Click("Btn_Set_Ip");
    QCOMPARE(Prompts.Texts(), QStringList{QStringLiteral("The device %1 (\"gw-a\") holds the IP address 10.1.1.30 already. Give the device "
                                                         "%2 the IP address 10.1.1.30, subnet mask 255.255.255.0 and gateway 0.0.0.0 all the same?")
                                              .arg(Gateway_1, Gateway_2)});
    QCOMPARE(Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
    QVERIFY(!S.Wire->Log().contains("SET IP " + Gateway_2.toLatin1()));

    // An address no device may hold is refused with its rule before any question.
    Prompts.Messages.clear();
    S.Type("E_Address", QStringLiteral("10.1.1.255"));
    S.Click("Btn_Set_Ip");
    QCOMPARE(Prompts.Texts(),
             QStringList{"The IP parameter cannot be given to a device: the address is the broadcast address of its subnet"});

    // Answered Yes: both hold name and address, and their cells say so in words and a sign, not only in colour.
    Prompts.Answers = {Prompt_Answer::Yes, Prompt_Answer::Yes};
    S.Click("Btn_Set_Name");
    S.Type("E_Address", QStringLiteral("10.1.1.30"));
    Find<QCheckBox>(S.Dialog.get(), "CB_Permanent")->setChecked(false);
    S.Click("Btn_Set_Ip");
    QCOMPARE(Cell(S.Table, Gateway_2, 1), QStringLiteral("10.1.1.30"));
    for (const QString& Mac : {Gateway_1, Gateway_2}) {
        for (const auto& [Column, Why] : {std::pair{0, "This station name is held by more than one device"},
                                          {1, "This IP address is held by more than one device"}}) {
            const QTableWidgetItem* Item = S.Table->item(Row_Of(S.Table, Mac), Column);
            QCOMPARE(Item->toolTip(), QString::fromLatin1(Why));
            QCOMPARE(Item->data(Qt::AccessibleTextRole).toString(), Item->text() + ": " + Why);
            QVERIFY(!Item->icon().isNull());
        }
    }
    const QTableWidgetItem* Alone = S.Table->item(Row_Of(S.Table, Gateway_3), 0);
    QVERIFY(Alone->icon().isNull());
    QVERIFY(Alone->data(Qt::AccessibleTextRole).isNull());

    // "Use this address" of an address two devices hold asks first; No keeps the dialog open.
    Prompts.Messages.clear();
    S.Select(Gateway_1);
    S.Dialog->Use_Address();
    QCOMPARE(Prompts.Texts(), QStringList{QStringLiteral("The IP address 10.1.1.30 is held by more than one device (%1 (\"gw-a\")). "
                                                         "Use it all the same?")
                                              .arg(Gateway_2)});
    QCOMPARE(Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
    QVERIFY(S.Dialog->isVisible());
    Prompts.Answers = {Prompt_Answer::Yes};
    S.Dialog->Use_Address();
    QCOMPARE(S.Dialog->result(), int(QDialog::Accepted));
}

void Test_Find_Gateways_Window::Search_Says_What_It_Passed_Over()
{
    // More gateways than a search keeps, and hostile answers among them.
    Responder Hostile({"--hostile", "--flood", "2100"});
    QVERIFY(Hostile.Ready());
    Searched S(false);
    S.Start();
    QCOMPARE(S.Table->rowCount(), 2048);
    const QStringList Status = S.Status().split(QLatin1Char('\n'));
    QCOMPARE(Status.size(), 3);
    QCOMPARE(Status[0], QStringLiteral("2048 devices answered on dcp0, 2048 of them gateways GW40610"));
    // The hostile device came first: kept, its texts shown with their control characters escaped.
    QCOMPARE(Cell(S.Table, QStringLiteral("02:66:00:00:00:01"), 0), QStringLiteral("gw\\x1b[2J\\nforged  line\\x7f"));
    QVERIFY2(Status[1].endsWith(QStringLiteral(" further answers were not kept: at most 2048 devices are listed")), qPrintable(Status[1]));
    QCOMPARE(Status[2], QStringLiteral("5 answers could not be read and were ignored"));
}

void Test_Find_Gateways_Window::Window_Lives_While_A_Device_Answers_Slowly()
{
    Searched S(true, {"--dcp-set-delay", "1500"});
    S.Start();
    QCOMPARE(S.Table->rowCount(), 5);
    S.Dialog->Set_Wait = std::chrono::milliseconds(5000);
    // The window is painted and its timers run while the device takes its time.
    int Ticks = 0, Paints = 0;
    QTimer Tick;
    QObject::connect(&Tick, &QTimer::timeout, [&] {
        ++Ticks;
        S.Dialog->update();
    });
    Event_Counter Painted(S.Dialog.get(), QEvent::Paint, Paints);
    S.Select(Gateway_2);
    S.Type("E_Name", QStringLiteral("gw-slow"));
    S.F.Prompts.Answers = {Prompt_Answer::Yes};
    QTest::mouseClick(Find<QPushButton>(S.Dialog.get(), "Btn_Set_Name"), Qt::LeftButton);
    // Back from the click at once, the wait said and cancellable, nothing else to start meanwhile.
    QVERIFY(S.Dialog->Busy());
    QCOMPARE(S.Status(), QStringLiteral("Waiting for the answer of the device %1...").arg(Gateway_2));
    QVERIFY(Find<QPushButton>(S.Dialog.get(), "Btn_Cancel")->isEnabled());
    for (const char* Button : {"Btn_Search", "Btn_Set_Name", "Btn_Set_Ip", "Btn_Flash"})
        QVERIFY2(!Find<QPushButton>(S.Dialog.get(), Button)->isEnabled(), Button);
    Tick.start(20);
    Wait_Idle(S.Dialog.get());
    Tick.stop();
    QVERIFY2(Ticks >= 10 && Paints >= 10, qPrintable(QStringLiteral("%1 ticks, %2 paints").arg(Ticks).arg(Paints)));
    // The answer and the device's row as it is now.
    QCOMPARE(S.F.Prompts.Last_Text(), QStringLiteral("The device %1 has done it").arg(Gateway_2));
    QCOMPARE(Cell(S.Table, Gateway_2, 0), QStringLiteral("gw-slow"));
    QVERIFY(!Find<QPushButton>(S.Dialog.get(), "Btn_Cancel")->isEnabled());
    QVERIFY(Find<QPushButton>(S.Dialog.get(), "Btn_Search")->isEnabled());
}

void Test_Find_Gateways_Window::Cancel_Ends_The_Wait_data()
{
    QTest::addColumn<bool>("During_Search");
    QTest::addColumn<QString>("Status");
    QTest::newRow("search") << true << "The search was cancelled: the devices that answered until then are listed";
    QTest::newRow("set") << false << "Cancelled while waiting for the device 02:06:10:00:00:01: it may have done it already; "
                                     "search again to see what it holds";
}

void Test_Find_Gateways_Window::Cancel_Ends_The_Wait()
{
    QFETCH(bool, During_Search);
    QFETCH(QString, Status);
    // Waits far longer than the test lets them run: only a cancel ends them in time.
    Searched S(true, {"--dcp-set-delay", "60000"});
    S.Open();
    S.Dialog->Search_Window = std::chrono::milliseconds(During_Search ? 60000 : 500);
    S.Dialog->Set_Wait = std::chrono::milliseconds(60000);
    if (!During_Search) {
        S.Click("Btn_Search");
        QCOMPARE(S.Table->rowCount(), 5);
        S.Select(Gateway_2);
        S.F.Prompts.Answers = {Prompt_Answer::Yes};
    }
    S.F.Prompts.Messages.clear();
    QTest::mouseClick(Find<QPushButton>(S.Dialog.get(), During_Search ? "Btn_Search" : "Btn_Flash"), Qt::LeftButton);
    QVERIFY(S.Dialog->Busy());
    QTest::qWait(300);
    QVERIFY(S.Dialog->Busy());
    QTest::mouseClick(Find<QPushButton>(S.Dialog.get(), "Btn_Cancel"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!S.Dialog->Busy(), 10000);
    QCOMPARE(S.Status().split(QLatin1Char('\n')).first(), Status);
    // Said in the status line: no box beyond the question asked before.
    QCOMPARE(S.F.Prompts.Messages.size(), During_Search ? 0 : 1);
    QVERIFY(Find<QPushButton>(S.Dialog.get(), "Btn_Search")->isEnabled());
}

void Test_Find_Gateways_Window::Each_Failure_Has_Its_Own_Text_data()
{
    QTest::addColumn<QStringList>("Simulator");
    QTest::addColumn<bool>("Small_Mtu");
    QTest::addColumn<QString>("Status");
    const QString Mac = Gateway_2;
    QTest::newRow("device refused") << QStringList{"--dcp-error", "6"} << false
                                    << QStringLiteral("The device %1 refused: not possible in operation").arg(Mac);
    QTest::newRow("no answer in time") << QStringList{"--dcp-set-delay", "3000"} << false
                                       << QStringLiteral("No device %1 answered").arg(Mac);
    QTest::newRow("not asked again") << QStringList{"--dcp-quiet-after-set"} << false
                                     << QStringLiteral("The device %1 has done it\nThe device %1 did not answer when asked what it "
                                                       "holds now: its row shows what it held before")
                                            .arg(Mac);
    QTest::newRow("not sent") << QStringList{} << true << QStringLiteral("The request to the device %1 could not be sent: ").arg(Mac);
}

void Test_Find_Gateways_Window::Each_Failure_Has_Its_Own_Text()
{
    QFETCH(QStringList, Simulator);
    QFETCH(bool, Small_Mtu);
    QFETCH(QString, Status);
    Searched S(true, Simulator);
    S.Start();
    QCOMPARE(S.Table->rowCount(), 5);
    S.Dialog->Set_Wait = std::chrono::milliseconds(400);
    const QString Before = Cell(S.Table, Gateway_2, 0);
    // A frame longer than the interface takes: the system refuses to send it.
    if (Small_Mtu)
        QCOMPARE(QProcess::execute(QStringLiteral("ip"), {"link", "set", "dcp0", "mtu", "68"}), 0);
    S.Select(Gateway_2);
    S.Type("E_Name", Small_Mtu ? QString(63, 'a') + '.' + QString(63, 'b') + '.' + QString(63, 'c') + '.' + QString(48, 'd')
                               : QStringLiteral("gw-new"));
    S.F.Prompts.Messages.clear();
    S.F.Prompts.Answers = {Prompt_Answer::Yes};
    S.Click("Btn_Set_Name");
    if (Small_Mtu)
        QProcess::execute(QStringLiteral("ip"), {"link", "set", "dcp0", "mtu", "1500"});
    QVERIFY2(Small_Mtu ? S.Status().startsWith(Status) && S.Status().size() > Status.size() : S.Status() == Status,
             qPrintable(S.Status()));
    // Shown as an error, with the same words.
    QCOMPARE(S.F.Prompts.Messages.size(), 2);
    QCOMPARE(S.F.Prompts.Messages[1].Kind, Prompt_Kind::Error);
    QCOMPARE(S.F.Prompts.Messages[1].Text, S.Status());
    // The row keeps what the device held when it was not asked again.
    QCOMPARE(Cell(S.Table, Gateway_2, 0), Before);
}

void Test_Find_Gateways_Window::Address_Conflict_Is_Shown_In_The_Table()
{
    // Another station holds the first gateway's address.
    Searched S(true, {"--dcp-address-conflict", "10.1.1.30"});
    S.Start();
    QCOMPARE(S.Table->rowCount(), 5);
    const QString Why = QStringLiteral("The device reports that another station holds this IP address");
    const QTableWidgetItem* Conflict = S.Table->item(Row_Of(S.Table, Gateway_1), 1);
    QCOMPARE(Conflict->text(), QStringLiteral("10.1.1.30"));
    QCOMPARE(Conflict->toolTip(), Why);
    QCOMPARE(Conflict->data(Qt::AccessibleTextRole).toString(), QStringLiteral("10.1.1.30: ") + Why);
    QVERIFY(!Conflict->icon().isNull());
    QVERIFY(S.Table->item(Row_Of(S.Table, Gateway_2), 1)->icon().isNull());
    QCOMPARE(S.Status().split(QLatin1Char('\n')).value(1),
             QStringLiteral("Devices that report another station holding their IP address: 1"));
    // A gateway given the same address reports it too, and both hold it: both reasons said.
    S.Select(Gateway_2);
    S.Type("E_Address", QStringLiteral("10.1.1.30"));
    S.Type("E_Mask", QStringLiteral("255.255.255.0"));
    S.Type("E_Gateway", QStringLiteral("0.0.0.0"));
    S.F.Prompts.Answers = {Prompt_Answer::Yes};
    S.Click("Btn_Set_Ip");
    QCOMPARE(S.Table->item(Row_Of(S.Table, Gateway_2), 1)->toolTip(),
             QStringLiteral("This IP address is held by more than one device; ") + Why);
}

SW_NAMESPACE_TEST_MAIN(Test_Find_Gateways_Window, QApplication)
#include "test_find_gateways_window.moc"
