// "Commission plant…" from the main window, on the gateway simulator in this
// test's own network namespace: a short list checked before anything is
// sent, the run filling in row by row while the window keeps working, a
// failed gateway retried alone, and the record written.

#include "commission/Plant_Fixture.h"
#include "commission/TFCommission.h"
#include "dcp/Namespace_Wire.h"
#include "dcp/Simulated_Devices.h"
#include "platform/Raw_Ethernet.h"
#include "support/Program_Folder.h"
#include "support/Scripted_File_Dialogs.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace Plant_Fixture;
using Test_Support::Find;
using Test_Support::When_Modal;

namespace {

enum Column { Col_Mac, Col_Name, Col_Address, Col_Configuration, Col_Checks, Col_State, Col_Sent, Col_Answered };

QString Cell(QWidget* Dialog, int Row, int Column)
{
    auto* Item = Find<QTableWidget>(Dialog, "TW_Gateways")->item(Row, Column);
    return Item ? Item->text() : QStringLiteral("<none>");
}

void Click(QWidget* Dialog, const char* Name) { QTest::mouseClick(Find<QPushButton>(Dialog, Name), Qt::LeftButton); }

} // namespace

class Test_Commission_Window : public QObject {
    Q_OBJECT
private slots:
    void Short_List_From_The_Main_Window();
    void Problems_Shown_Before_Anything_Is_Sent();

private:
    void Script(QWidget* Dialog);

    QTemporaryDir* Here = nullptr;
    Simulator* Wire = nullptr;
    Scripted_Open_Dialog Open_Dialog;
    Scripted_Save_Dialog Save_Dialog;
    Program_Folder* Folder = nullptr;
};

void Test_Commission_Window::Script(QWidget* Dialog)
{
    auto* Window = qobject_cast<TFCommission*>(Dialog);
    QVERIFY(Window);
    Window->Search_Window = std::chrono::milliseconds(500);
    // The list as read, each row checked, nothing run yet; updating is off until asked for.
    Open_Dialog.Answer = Write_List(Here->path(), 3);
    Click(Dialog, "Btn_Open_List");
    auto* Table = Find<QTableWidget>(Dialog, "TW_Gateways");
    QCOMPARE(Table->rowCount(), 3);
    QCOMPARE(Cell(Dialog, 1, Col_Mac), Mac(1));
    QCOMPARE(Cell(Dialog, 1, Col_Name), Name(1));
    QCOMPARE(Cell(Dialog, 1, Col_Checks), QStringLiteral("ok"));
    QCOMPARE(Cell(Dialog, 1, Col_State), QStringLiteral("waiting"));
    QVERIFY(!Find<QCheckBox>(Dialog, "CB_Update")->isChecked());
    QVERIFY(Find<QPushButton>(Dialog, "Btn_Start")->isEnabled());
    QVERIFY(!Find<QPushButton>(Dialog, "Btn_Record")->isEnabled());
    auto* Interfaces = Find<QComboBox>(Dialog, "CB_Interface");
    Interfaces->setCurrentIndex(Interfaces->findData(QStringLiteral("dcp0")));
    QVERIFY(Interfaces->currentIndex() >= 0);

    // The run goes on a worker: the window keeps handling its events meanwhile.
    int Ticks = 0;
    QTimer Ticker;
    connect(&Ticker, &QTimer::timeout, [&] { ++Ticks; });
    Ticker.start(10);
    Click(Dialog, "Btn_Start");
    QVERIFY(!Find<QPushButton>(Dialog, "Btn_Start")->isEnabled());
    QVERIFY(Find<QPushButton>(Dialog, "Btn_Cancel")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(Find<QPushButton>(Dialog, "Btn_Start")->isEnabled(), 30000);
    Ticker.stop();
    QVERIFY2(Ticks > 30, qPrintable(QString::number(Ticks)));

    QCOMPARE(Cell(Dialog, 0, Col_State), QStringLiteral("done"));
    QCOMPARE(Cell(Dialog, 2, Col_State), QStringLiteral("done"));
    // The gateway that refuses every Set says so, and what it answered.
    QCOMPARE(Cell(Dialog, 1, Col_State), QStringLiteral("refused by the device"));
    QCOMPARE(Table->item(1, Col_State)->toolTip(),
             QStringLiteral("refused by the device: the device refused Set name: not possible in operation"));
    QCOMPARE(Cell(Dialog, 0, Col_Sent),
             QStringLiteral("Set name \"%1\" (permanent); Set IP %2/255.255.255.0 gateway 10.1.0.1 (permanent); Identify \"%1\"")
                 .arg(Name(0), Address(0)));
    QVERIFY2(Cell(Dialog, 0, Col_Answered).contains(QStringLiteral("Identify: name \"%1\"").arg(Name(0))),
             qPrintable(Cell(Dialog, 0, Col_Answered)));
    QCOMPARE(Cell(Dialog, 1, Col_Answered), QStringLiteral("Set name: not possible in operation"));
    auto* Progress = Find<QProgressBar>(Dialog, "PB_Run");
    QCOMPARE(Progress->value(), Progress->maximum());
    QVERIFY2(Find<QLabel>(Dialog, "L_Status")->text().contains(QStringLiteral("Finished: 2 of 3")),
             qPrintable(Find<QLabel>(Dialog, "L_Status")->text()));
    QVERIFY(Wire->Log().contains("SET NAME " + Mac(0).toLatin1() + " " + Name(0).toLatin1() + " permanent"));

    // Retry failed runs only the failed row again.
    QVERIFY(Find<QPushButton>(Dialog, "Btn_Retry")->isEnabled());
    const QByteArray Before = Wire->Log();
    Click(Dialog, "Btn_Retry");
    QTRY_VERIFY_WITH_TIMEOUT(Find<QPushButton>(Dialog, "Btn_Start")->isEnabled(), 30000);
    QCOMPARE(Progress->maximum(), 1);
    QCOMPARE(Count_Lines(Wire->Log(), "SET "), Count_Lines(Before, "SET "));
    QCOMPARE(Cell(Dialog, 0, Col_State), QStringLiteral("done"));
    QCOMPARE(Cell(Dialog, 1, Col_State), QStringLiteral("refused by the device"));

    // The record, where the engineer chose to put it.
    Save_Dialog.Answer = Here->filePath(QStringLiteral("site-record"));
    Folder->Prompts.Messages.clear();
    Click(Dialog, "Btn_Record");
    QCOMPARE(Save_Dialog.Requests.last().Preset_Name, QStringLiteral("plant-record.pdf"));
    QVERIFY(QFile::exists(Here->filePath(QStringLiteral("site-record.pdf"))));
    QVERIFY2(Folder->Prompts.Last_Text().contains(QStringLiteral("site-record.pdf")), qPrintable(Folder->Prompts.Last_Text()));
    QProcess Text;
    Text.start(QStringLiteral("pdftotext"), {Here->filePath(QStringLiteral("site-record.pdf")), "-"});
    QVERIFY(Text.waitForFinished(30000));
    const QString Pdf = QString::fromUtf8(Text.readAllStandardOutput()).simplified();
    QVERIFY(Pdf.contains(Name(2)));
    QVERIFY(Pdf.contains(QStringLiteral("refused by the device")));
}

void Test_Commission_Window::Short_List_From_The_Main_Window()
{
    QTemporaryDir Dir;
    Here = &Dir;
    Simulator Devices(Dir.path(), {"--macs", Write_Macs(Dir.path(), 3, 1), "--foreign", "1"});
    QVERIFY(Devices.Ready());
    Wire = &Devices;
    Program_Folder F;
    Folder = &F;
    Pcap_Raw_Ethernet Ethernet;
    Platform_Services Services;
    Services.Ethernet = &Ethernet;
    Services.Open_Dialog = &Open_Dialog;
    Services.Save_Dialog = &Save_Dialog;
    F.Start(Services);
    When_Modal(
        [&](QWidget* Dialog) {
            Script(Dialog);
            static_cast<QDialog*>(Dialog)->reject();
        },
        60000);
    F.Click(QStringLiteral("Btn_Commission"));
}

void Test_Commission_Window::Problems_Shown_Before_Anything_Is_Sent()
{
    QTemporaryDir Dir;
    Simulator Devices(Dir.path(), {"--macs", Write_Macs(Dir.path(), 2)});
    QVERIFY(Devices.Ready());
    Program_Folder F;
    F.Space.Init_Language();
    Pcap_Raw_Ethernet Ethernet;
    Platform_Services Services;
    Services.Prompts = &F.Prompts;
    Services.Ethernet = &Ethernet;
    TFCommission Window(F.Space, Services);
    Window.show();
    const QString List = Write_List(Dir.path(), 2, {"02:aa:00:00:00:09,Plant GW,10.1.0.99,255.255.255.0,10.1.0.1,"});
    QVERIFY(Window.Open_List(List));
    QCOMPARE(Cell(&Window, 0, Col_Checks), QStringLiteral("ok"));
    QVERIFY2(Cell(&Window, 2, Col_Checks).startsWith(QStringLiteral("4:2: \"Plant GW\" is not a valid station name")),
             qPrintable(Cell(&Window, 2, Col_Checks)));
    QVERIFY(!Find<QPushButton>(&Window, "Btn_Start")->isEnabled());
    QVERIFY(!Find<QPushButton>(&Window, "Btn_Retry")->isEnabled());
    QVERIFY(Find<QLabel>(&Window, "L_Status")->text().contains(QStringLiteral("1 problem(s)")));
    Window.Start();
    QTest::qWait(300);
    QVERIFY(!Window.Running());
    QVERIFY(!Devices.Log().contains("SET "));

    // A list that cannot be read is said, and the one shown stays.
    F.Prompts.Messages.clear();
    QVERIFY(!Window.Open_List(Dir.filePath(QStringLiteral("gone.csv"))));
    QVERIFY(F.Prompts.Last_Text().contains(QStringLiteral("gone.csv")));
    QCOMPARE(Find<QTableWidget>(&Window, "TW_Gateways")->rowCount(), 3);
}

SW_NAMESPACE_TEST_MAIN(Test_Commission_Window, QApplication)
#include "test_commission_window.moc"
