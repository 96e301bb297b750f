// Step 6 of the main window: compiling the active configuration and writing
// its bank files, with the messages a user sees when that cannot be done.
#include "image/Image_Fixtures.h"
#include "shell/TFTavorixFirmWare.h"
#include "foundation/Workspace.h"
#include "support/Program_Folder.h"
#include "support/Test_Support.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Image_Fixtures;
using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::When_Modal;
using Test_Support::Write_File;

namespace {

// A program folder whose settings reopen the configuration "Plant".
struct Fixture : Program_Folder {
    QString Project_Dir = Add_Project("Plant");

    Fixture() { Remember_Project("Plant"); }
    void Click_Step_6() { Click("Btn_CreateBin"); }
    QString Bank(int N) const { return Project_Dir + QStringLiteral("/bin/bank%1.bin").arg(N); }
};

} // namespace

class Test_Update_Device : public QObject {
    Q_OBJECT
private slots:
    void Step_6_data();
    void Step_6();
    void Without_General_Parameters_The_User_Is_Told();
};

void Test_Update_Device::Step_6_data()
{
    QTest::addColumn<QString>("case_name");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("message_start");
    QTest::newRow("largest configuration") << "largest" << true << "";
    QTest::newRow("too large") << "too large" << false << "Error! The configuration is too large for the device memory";
    QTest::newRow("malformed file") << "malformed" << false << "IEC61850_Variables.xml (line ";
    // A comment before the root makes the whole file read as defaults: nothing is compiled from it.
    QTest::newRow("general parameters read as defaults") << "comment ParGen.xml" << false << " (line 1, column 1): ";
    QTest::newRow("variables read as defaults") << "comment IEC61850_Variables.xml" << false
                                                << " (line 1, column 1): ";
    QTest::newRow("bank file not writable") << "unwritable" << false << "Error! The bank files could not be written: ";
}

void Test_Update_Device::Step_6()
{
    QFETCH(QString, case_name);
    QFETCH(bool, written);
    QFETCH(QString, message_start);

    Fixture F;
    Project P = Largest_Project();
    if (case_name == "too large")
        P.ParGen["TLS_Server_Root_Certificate"] = QString(524288, QLatin1Char('R'));
    Write_Project(P, F.Project_Dir + "/ParGen.xml", F.Project_Dir + "/IEC61850_Variables.xml",
                  F.Project_Dir + "/TLS_Known_Cert.xml");
    if (case_name == "malformed")
        Write_File(F.Project_Dir + "/IEC61850_Variables.xml", "<IEC61850_Variables><row Enable=\"Y\" Name=\"x>");
    if (case_name.startsWith("comment ")) {
        const QString Path = F.Project_Dir + "/" + case_name.mid(8);
        Write_File(Path, "<!-- kept by hand -->" + Read_File(Path));
        message_start = QDir::toNativeSeparators(Path) + message_start;
    }
    if (case_name == "unwritable")
        QVERIFY(QDir().mkpath(F.Bank(2)));
    F.Start();
    QString Opened;
    QPointer<QTimer> Waiting = When_Modal([&](QWidget* Modal) {
        Opened = Modal->objectName() + ": " + Modal->windowTitle();
        Modal->close();
    });
    F.Click_Step_6();
    delete Waiting;

    if (written) {
        // The update over Ethernet follows a successful compile.
        QCOMPARE(Opened, QString("TFBoot: Update Device by Ethernet (UDP)"));
        QVERIFY(F.Prompts.Messages.isEmpty());
        QCOMPARE(Read_File(F.Bank(1)).size(), 2048);
        // 54 + 10 x 8 + 50 x 32 + 1, the 3 KB texts, the 2 KB certificates and the names.
        const int Strings = 3 * (3072 + 1) + 12 + 23 + 10 * (2048 + 1) + 50 * 33;
        QCOMPARE(Read_File(F.Bank(2)).size(), 54 + 80 + 1600 + 1 + Strings);
        QCOMPARE(Find<QLabel>(F.Window.get(), "L_Status")->text(),
                 QStringLiteral("Bank files written to %1: bank1.bin (2048 bytes) and bank2.bin (%2 bytes).")
                     .arg(QDir::toNativeSeparators(F.Project_Dir + "/bin"))
                     .arg(54 + 80 + 1600 + 1 + Strings));
        return;
    }
    QCOMPARE(Opened, QString());
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QVERIFY2(F.Prompts.Last_Text().startsWith(message_start), qPrintable(F.Prompts.Last_Text()));
    QVERIFY(!QFileInfo(F.Bank(1)).exists());
    QVERIFY(!QFileInfo(F.Bank(2)).isFile());
    QCOMPARE(Find<QLabel>(F.Window.get(), "L_Status")->text(), QString());
}

void Test_Update_Device::Without_General_Parameters_The_User_Is_Told()
{
    Fixture F;
    F.Start();
    QPointer<QTimer> Waiting = When_Modal([&](QWidget* Modal) { Modal->close(); });
    F.Click_Step_6();
    delete Waiting;
    QCOMPARE(F.Prompts.Texts(), QStringList{F.Space.Str(35).arg(QDir::toNativeSeparators(F.Space.File_ParGen))});
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Information);
    // The banks are still compiled, from the defaults.
    QCOMPARE(Read_File(F.Bank(1)).size(), 2048);
}

QTEST_MAIN(Test_Update_Device)
#include "test_update_device.moc"
