#include "Editor_Fixture.h"
#include "editors/TFParGen.h"
#include "project/Par_Gen_File.h"
#include "support/Scripted_File_Dialogs.h"
#include "support/Test_Certificates.h"
#include "support/Test_Support.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>
#include <QToolButton>

using Test_Support::Find;
using Test_Support::Read_File;

class Test_Par_Gen_Editing : public QObject {
    Q_OBJECT
private slots:
    void Every_Edit_Undoes_And_Redoes_data();
    void Every_Edit_Undoes_And_Redoes();
    void Secrets_Are_Dots_Until_Held_data();
    void Secrets_Are_Dots_Until_Held();
    void Ctrl_Z_Goes_On_Into_The_Dialog_History();
};

// In a text field Ctrl+Z first undoes the field's own typing; once the field
// has nothing left to undo, the dialog's history takes the key.
void Test_Par_Gen_Editing::Ctrl_Z_Goes_On_Into_The_Dialog_History()
{
    Editor_Fixture F;
    Scripted_Open_Dialog Open_Dialog;
    TFParGen Dialog{F.Space, F.Prompts, nullptr, &Open_Dialog};
    Show_Editor(Dialog);
    auto* Port = Find<QLineEdit>(&Dialog, "E_IEC61850_Server_Port");
    auto* Station = Find<QLineEdit>(&Dialog, "E_PROFINET_NameStation");
    const QString Port_Loaded = Port->text();
    // A step in the dialog's history: the port, typed and left.
    Port->setFocus();
    Port->selectAll();
    QTest::keyClicks(Port, "2404");
    Station->setFocus();
    QCOMPARE(Dialog.Undo_History().count(), 1);
    // Typing in the station name, then Ctrl+Z: the field's own typing goes first.
    const QString Station_Loaded = Station->text();
    QTest::keyClicks(Station, "x");
    QTest::keyClick(Station, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Station->text(), Station_Loaded);
    QCOMPARE(Port->text(), QString("2404"));
    // Nothing of its own left: the next Ctrl+Z undoes the dialog's step.
    QTest::keyClick(Station, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Port->text(), Port_Loaded);
    QCOMPARE(Dialog.Undo_History().index(), 0);
    // And Ctrl+Y redoes it from the same field.
    QTest::keyClick(Station, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Port->text(), QString("2404"));
}

void Test_Par_Gen_Editing::Every_Edit_Undoes_And_Redoes_data()
{
    QTest::addColumn<int>("Kind");
    QTest::addColumn<int>("Step_Slot");
    QTest::newRow("typed field") << 0 << 1539;
    QTest::newRow("check box") << 1 << 1540;
    QTest::newRow("TLS box load") << 2 << 1541;
}

// Each kind of edit is one step: undone, OK writes the loaded file's bytes
// again and nothing counts as changed; redone, the edited bytes.
void Test_Par_Gen_Editing::Every_Edit_Undoes_And_Redoes()
{
    QFETCH(int, Kind);
    QFETCH(int, Step_Slot);
    Editor_Fixture F;
    Scripted_Open_Dialog Open_Dialog;
    TFParGen Dialog{F.Space, F.Prompts, nullptr, &Open_Dialog};
    Show_Editor(Dialog);
    const auto Bytes = [&] { return Par_Gen::To_Bytes(Dialog.Shown_Values()); };
    const QByteArray Loaded = Bytes();
    auto* Undo_Button = Find<QPushButton>(&Dialog, "Btn_Undo");
    QVERIFY(!Undo_Button->isEnabled());
    switch (Kind) {
    case 0: {
        auto* Port = Find<QLineEdit>(&Dialog, "E_IEC61850_Server_Port");
        Port->setFocus();
        Port->selectAll();
        QTest::keyClicks(Port, "2404");
        Find<QLineEdit>(&Dialog, "E_PROFINET_NameStation")->setFocus();
        break;
    }
    case 1: {
        auto* Box = Find<QCheckBox>(&Dialog, "CB_PROFINET_Diagnostic");
        QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(8, Box->height() / 2));
        break;
    }
    case 2: {
        auto* TLS = Find<QCheckBox>(&Dialog, "CB_TLS_Server_Enable");
        if (!TLS->isChecked())
            QTest::mouseClick(TLS, Qt::LeftButton, {}, QPoint(8, TLS->height() / 2));
        Dialog.Undo_History().clear();
        Dialog.Undo_History().setClean();
        const QString Path = F.Space.Project_Dir + "/root.pem";
        const Test_Pki::Made_Key Key = Test_Pki::Make_Key(Test_Pki::Key_Type::EC_P256);
        const QDateTime Now = QDateTime::currentDateTimeUtc();
        Test_Support::Write_File(Path, Test_Pki::Make_Certificate({"Root", "Plant", &Key, nullptr, nullptr,
                                                                   Now.addDays(-1), Now.addYears(1)})
                                           .Pem()
                                           .toUtf8());
        Open_Dialog.Answer = Path;
        QTest::mouseClick(Find<QPushButton>(&Dialog, "Btn_TLS_Server_Root_Cert_Load"), Qt::LeftButton);
        break;
    }
    }
    const QByteArray Edited = Bytes();
    QVERIFY(Edited != Loaded);
    QVERIFY(Dialog.Is_Change);
    QCOMPARE(Dialog.Undo_History().count(), 1);
    const QString Pattern = F.Space.Str(Step_Slot).section('%', 0, 0);
    QVERIFY2(Dialog.Undo_History().undoText().startsWith(Pattern), qPrintable(Dialog.Undo_History().undoText()));
    QCOMPARE(Undo_Button->toolTip(), F.Space.Str(1515).arg(Dialog.Undo_History().undoText()));

    QTest::mouseClick(Undo_Button, Qt::LeftButton);
    const QByteArray Undone = Bytes();
    QVERIFY(Undone != Edited);
    if (Kind != 2)
        QCOMPARE(Undone, Loaded);
    QVERIFY(!Dialog.Is_Change);
    QTest::keyClick(&Dialog, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Bytes(), Edited);
    QVERIFY(Dialog.Is_Change);
    QTest::mouseClick(Undo_Button, Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>(&Dialog, "Btn_Redo"), Qt::LeftButton);
    QCOMPARE(Bytes(), Edited);
    Dialog.Btn_UndoClick();
    QCOMPARE(Bytes(), Undone);
    // Reopened, the history is empty.
    Dialog.FormShow();
    QCOMPARE(Dialog.Undo_History().count(), 0);
    QVERIFY(!Dialog.Is_Change);
}

void Test_Par_Gen_Editing::Secrets_Are_Dots_Until_Held_data()
{
    QTest::addColumn<QString>("Field");
    QTest::addColumn<int>("Label_Slot");
    QTest::newRow("server password") << "E_IEC61850_Server_Password" << 409;
    QTest::newRow("key password") << "E_TLS_Server_Key_Pass" << 416;
}

// The IEC 61850 password and the key password are not on screen: dots, and a
// button beside each that shows the text only while it is held down.
void Test_Par_Gen_Editing::Secrets_Are_Dots_Until_Held()
{
    QFETCH(QString, Field);
    QFETCH(int, Label_Slot);
    Editor_Fixture F;
    TFParGen Dialog{F.Space, F.Prompts};
    Show_Editor(Dialog);
    auto* TLS = Find<QCheckBox>(&Dialog, "CB_TLS_Server_Enable");
    if (!TLS->isChecked())
        QTest::mouseClick(TLS, Qt::LeftButton, {}, QPoint(8, TLS->height() / 2));
    auto* Edit = Find<QLineEdit>(&Dialog, Field);
    auto* Show = Find<QToolButton>(&Dialog, "Btn_" + Field.mid(2) + "_Show");
    QVERIFY(Show->isVisible());
    QCOMPARE(Show->text(), F.Space.Str(1534));
    QCOMPARE(Show->toolTip(), F.Space.Str(1535));
    QCOMPARE(Show->accessibleName(), F.Space.Str(Label_Slot) + ": " + F.Space.Str(1534));
    // Beside the field, not over it, and inside the group.
    QVERIFY(Show->geometry().left() > Edit->geometry().right());
    QVERIFY(Show->geometry().right() < Show->parentWidget()->width());

    Edit->setFocus();
    QTest::keyClicks(Edit, "s3cret");
    QCOMPARE(Edit->echoMode(), QLineEdit::Password);
    QVERIFY(Edit->displayText() != "s3cret");
    QTest::mousePress(Show, Qt::LeftButton);
    QCOMPARE(Edit->echoMode(), QLineEdit::Normal);
    QCOMPARE(Edit->displayText(), QString("s3cret"));
    QTest::mouseRelease(Show, Qt::LeftButton);
    QCOMPARE(Edit->echoMode(), QLineEdit::Password);
    // The text itself is untouched by the showing.
    QCOMPARE(Edit->text(), QString("s3cret"));
}

QTEST_MAIN(Test_Par_Gen_Editing)
#include "test_par_gen_editing.moc"
