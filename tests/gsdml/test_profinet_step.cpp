#include "gsdml/TFProfinetFileName.h"
#include "shell/TFTavorixFirmWare.h"
#include "foundation/Workspace.h"
#include "support/Program_Folder.h"
#include "support/Test_Support.h"
#include "Gsdml_Fixtures.h"
#include "Schema_Check.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Gsdml_Fixtures::Expected;
using Gsdml_Fixtures::Par_Gen_File;
using Gsdml_Fixtures::Scripted_Save_Dialog;
using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::When_Modal;
using Test_Support::Write_File;

namespace {

// A program folder whose last configuration "Plant" is restored at start.
struct Fixture : Program_Folder {
    QString Project_Dir = Add_Project("Plant");
    Scripted_Save_Dialog Save_Dialog;

    Fixture()
    {
        Remember_Project("Plant");
        Platform_Services Services;
        Services.Save_Dialog = &Save_Dialog;
        Start(Services);
    }
    // Step 5: types User into the file-name dialog and presses Button there.
    // Returns the last fixed part the dialog showed.
    QString Step_5(const QString& User, const char* Button = "Btn_OK")
    {
        QString Fix2;
        When_Modal([&](QWidget* Modal) {
            Fix2 = Find<QLabel>(Modal, "L_XML_Fix2")->text();
            QTest::keyClicks(Find<QLineEdit>(Modal, "E_XML_User"), User);
            QTest::mouseClick(Find<QPushButton>(Modal, Button), Qt::LeftButton);
        });
        QTest::mouseClick(Find<QPushButton>(Window.get(), "Btn_PROFINET_XML"), Qt::LeftButton);
        return Fix2;
    }
};

} // namespace

class Test_Profinet_Step : public QObject {
    Q_OBJECT
private slots:
    void Writes_Description_With_Composed_Name();
    void Output_Passes_Schema();
    void Cancel_Asks_No_Folder();
    void Malformed_Par_Gen_Shown_By_Error_Handler();
    void Language_Change_Reaches_Dialog();
    void Status_Line_Follows_Language_And_Configuration_data();
    void Status_Line_Follows_Language_And_Configuration();
};

void Test_Profinet_Step::Writes_Description_With_Composed_Name()
{
    Fixture F;
    Write_File(F.Project_Dir + "/ParGen.xml",
               Par_Gen_File({{"PROFINET_NAME_STA", "plc-7"}, {"PROFINET_NB_IN", "100"}, {"PROFINET_NB_OUT", "20"}}));
    F.Save_Dialog.Answer = F.Project_Dir + "/whatever.xml";
    const QString Fix2 = F.Step_5("line2");
    QCOMPARE(Fix2, QDate::currentDate().toString("-yyyyMMdd'.xml'"));
    const QString Name = "GSDML-V2.31-Korvex-GW40610_line2" + Fix2;
    QCOMPARE(F.Save_Dialog.Requests.size(), 1);
    QCOMPARE(F.Save_Dialog.Requests[0].Preset_Name, Name);
    QCOMPARE(F.Save_Dialog.Requests[0].Initial_Folder, F.Project_Dir);
    QCOMPARE(Read_File(F.Project_Dir + "/" + Name), Expected("plc-7", 20, 100));
    QVERIFY(F.Prompts.Messages.isEmpty());
    // The main window says what was written where.
    auto* Status = Find<QLabel>(F.Window.get(), "L_Status");
    QCOMPARE(Status->text(), "GSDML file written: " + QDir::toNativeSeparators(F.Project_Dir + "/" + Name));
    QVERIFY(Status->isVisible());

    // The second run finds the file and asks before replacing it.
    F.Step_5("");
    QCOMPARE(F.Save_Dialog.Requests.size(), 2);
    QCOMPARE(F.Save_Dialog.Requests[1].Preset_Name, Name);
    QCOMPARE(F.Prompts.Texts(), QStringList{"File already exists! Do you want to overwrite the file?"});
    QCOMPARE(Status->text(), QString());  // answered No: nothing written
}

void Test_Profinet_Step::Output_Passes_Schema()
{
    SCHEMA_CHECK_PREREQUISITES();
    Fixture F;
    Write_File(F.Project_Dir + "/ParGen.xml", Par_Gen_File({{"PROFINET_NB_IN", "64"}, {"PROFINET_NB_OUT", "32"}}));
    const QString Folder = F.Dir.path() + "/out";
    QDir().mkpath(Folder);
    F.Save_Dialog.Answer = Folder + "/x.xml";
    F.Step_5("cell-4");
    const QStringList Written = QDir(Folder).entryList(QDir::Files);
    QCOMPARE(Written.size(), 1);
    VERIFY_ONLY_KNOWN_DIFFERENCES(Schema_Check::Validate(Folder + "/" + Written[0]));
}

void Test_Profinet_Step::Cancel_Asks_No_Folder()
{
    Fixture F;
    F.Save_Dialog.Answer = F.Project_Dir + "/x.xml";
    F.Step_5("plant1", "Btn_Cancel");
    QVERIFY(F.Save_Dialog.Requests.isEmpty());
    QCOMPARE(QDir(F.Project_Dir).entryList(QDir::Files), QStringList{});
    // Without ParGen.xml the user is told that the defaults would be used.
    QCOMPARE(F.Prompts.Texts(), QStringList{F.Space.Str(35).arg(QDir::toNativeSeparators(F.Space.File_ParGen))});
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Information);
    QCOMPARE(Find<QLabel>(F.Window.get(), "L_Status")->text(), QString());
}

void Test_Profinet_Step::Malformed_Par_Gen_Shown_By_Error_Handler()
{
    Fixture F;
    Write_File(F.Project_Dir + "/ParGen.xml", "<Par_Gen><PROFINET_NB_IN>1</PROFINET_NB_OUT></Par_Gen>");
    F.Save_Dialog.Answer = F.Project_Dir + "/x.xml";
    F.Step_5("");
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QVERIFY2(F.Prompts.Messages[0].Text.startsWith("ParGen.xml (line 1, column"), qPrintable(F.Prompts.Last_Text()));
    QCOMPARE(QDir(F.Project_Dir).entryList(QDir::Files), QStringList{"ParGen.xml"});
    QVERIFY(F.Window->isVisible());
}

void Test_Profinet_Step::Language_Change_Reaches_Dialog()
{
    Fixture F;
    F.Window->Build_Every_Window();
    auto* Dialog = F.Window->findChild<TFProfinetFileName*>("TFProfinetFileName");
    QVERIFY(Dialog);
    QCOMPARE(Dialog->windowTitle(), QString("PROFINET XML File Name"));
    F.Space.Lang_Strings.Set(1500, "Nome file GSDML");
    F.Space.Lang_Strings.Set(1506, "Parte utente");
    F.Window->Change_Language();
    QCOMPARE(Dialog->windowTitle(), QString("Nome file GSDML"));
    QCOMPARE(Find<QLabel>(Dialog, "Label4")->text(), QString("Parte utente"));
}

void Test_Profinet_Step::Status_Line_Follows_Language_And_Configuration_data()
{
    QTest::addColumn<QString>("Step");
    QTest::newRow("another configuration opened") << "Btn_Open";
    QTest::newRow("a new configuration created") << "Btn_New";
}

// The status line speaks the language on screen, and what it told about one
// configuration is gone once another is opened or created.
void Test_Profinet_Step::Status_Line_Follows_Language_And_Configuration()
{
    QFETCH(QString, Step);
    Fixture F;
    F.Add_Project("Other");
    F.Save_Dialog.Answer = F.Project_Dir + "/x.xml";
    F.Step_5("line");
    auto* Status = Find<QLabel>(F.Window.get(), "L_Status");
    const QString Written = Status->text().mid(F.Space.Str(34).indexOf("%1"));
    QVERIFY(!Written.isEmpty());
    F.Space.Lang_Strings.Set(34, "Datei GSDML geschrieben: %1");
    F.Window->Change_Language();
    QCOMPARE(Status->text(), "Datei GSDML geschrieben: " + Written);

    When_Modal([&](QWidget* Modal) {
        if (Step == "Btn_New") {
            Find<QLineEdit>(Modal, "E_New_Proj")->setText("Third");
        } else {
            auto* List = Find<QListWidget>(Modal, "ListBox1");
            List->setCurrentItem(List->findItems("Other", Qt::MatchExactly).value(0));
        }
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_OK"), Qt::LeftButton);
    });
    QTest::mouseClick(Find<QPushButton>(F.Window.get(), Step), Qt::LeftButton);
    QVERIFY(F.Space.Project_Name != "Plant");
    QCOMPARE(Status->text(), QString());
    F.Window->Change_Language();
    QCOMPARE(Status->text(), QString());
}

QTEST_MAIN(Test_Profinet_Step)
#include "test_profinet_step.moc"
