#include "editors/TFIEC61850_Variables.h"
#include "editors/TFParGen.h"
#include "editors/TFTLS_Server_Known_Cert.h"
#include "shell/TFTavorixFirmWare.h"
#include "foundation/Workspace.h"
#include "support/Program_Folder.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::When_Modal;
using Test_Support::Write_File;

namespace {

// The main window over a program folder with the active configuration "Plant".
struct Main_Fixture : Program_Folder {
    Main_Fixture()
    {
        Add_Project("Plant");
        Remember_Project("Plant");
        Start();
    }
};

} // namespace

class Test_Editor_Steps : public QObject {
    Q_OBJECT
private slots:
    void Steps_Open_Their_Editors_data();
    void Steps_Open_Their_Editors();
    void Malformed_File_Keeps_Editor_Closed_data();
    void Malformed_File_Keeps_Editor_Closed();
    void Language_Change_Reaches_Editors();
};

void Test_Editor_Steps::Steps_Open_Their_Editors_data()
{
    QTest::addColumn<QString>("Button");
    QTest::addColumn<QString>("Dialog");
    QTest::addColumn<QString>("File");
    QTest::newRow("general parameters") << "Btn_Prm_Gen" << "TFParGen" << "ParGen.xml";
    QTest::newRow("certificates") << "Btn_TLS_List_Certificates" << "TFTLS_Server_Known_Cert" << "TLS_Known_Cert.xml";
    QTest::newRow("variables") << "Btn_IEC61850_Access" << "TFIEC61850_Variables" << "IEC61850_Variables.xml";
}

void Test_Editor_Steps::Steps_Open_Their_Editors()
{
    QFETCH(QString, Button);
    QFETCH(QString, Dialog);
    QFETCH(QString, File);
    Main_Fixture F;
    QString Opened;
    When_Modal([&](QWidget* Modal) {
        Opened = Modal->objectName();
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_OK"), Qt::LeftButton);
    });
    F.Click(Button);
    QCOMPARE(Opened, Dialog);
    QVERIFY2(F.Prompts.Messages.isEmpty(), qPrintable(F.Prompts.Last_Text()));
    const QByteArray Written = Read_File(F.Space.Projects_Dir + "/Plant/" + File);
    QVERIFY(Written.endsWith("<!--SW_VERSION = 1.000-->"));
}

void Test_Editor_Steps::Malformed_File_Keeps_Editor_Closed_data()
{
    QTest::addColumn<QString>("Button");
    QTest::addColumn<QString>("File");
    QTest::newRow("general parameters") << "Btn_Prm_Gen" << "ParGen.xml";
    QTest::newRow("certificates") << "Btn_TLS_List_Certificates" << "TLS_Known_Cert.xml";
    QTest::newRow("variables") << "Btn_IEC61850_Access" << "IEC61850_Variables.xml";
}

void Test_Editor_Steps::Malformed_File_Keeps_Editor_Closed()
{
    QFETCH(QString, Button);
    QFETCH(QString, File);
    Main_Fixture F;
    const QString Path = F.Space.Projects_Dir + "/Plant/" + File;
    const QByteArray Broken = "<Root>\n  <row Name=\"a\">\n</Root>";
    Write_File(Path, Broken);
    bool Opened = false;
    When_Modal([&](QWidget* Modal) {
        Opened = true;
        Modal->close();
    }, 500);
    F.Click(Button);
    QTest::qWait(600);
    QVERIFY(!Opened);
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QVERIFY2(F.Prompts.Last_Text().startsWith(File + " (line 3, column "), qPrintable(F.Prompts.Last_Text()));
    QCOMPARE(Read_File(Path), Broken);
    QVERIFY(F.Window->isVisible());
}

void Test_Editor_Steps::Language_Change_Reaches_Editors()
{
    Main_Fixture F;
    // A window built after a text changed shows it; one built before follows the change.
    QVERIFY(!F.Window->findChild<TFParGen*>());
    F.Space.Lang_Strings.Set(400, QStringLiteral("Comunicazione"));
    F.Window->Build_Every_Window();
    F.Space.Lang_Strings.Set(800, QStringLiteral("Certificati"));
    F.Space.Lang_Strings.Set(916, QStringLiteral("Nome"));
    F.Window->Change_Language();
    QCOMPARE(F.Window->findChild<TFParGen*>()->windowTitle(), QStringLiteral("Comunicazione"));
    QCOMPARE(F.Window->findChild<TFTLS_Server_Known_Cert*>()->windowTitle(), QStringLiteral("Certificati"));
    auto* Variables = F.Window->findChild<TFIEC61850_Variables*>();
    QCOMPARE(Variables->ACG_Model().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Nome"));
}

QTEST_MAIN(Test_Editor_Steps)
#include "test_editor_steps.moc"
