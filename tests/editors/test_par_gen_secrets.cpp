#include "Editor_Fixture.h"
#include "editors/TFParGen.h"
#include "project/Par_Gen_File.h"
#include "support/Test_Support.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using Test_Support::Find;
using Test_Support::Read_File;

// The IEC 61850 password and the key password are not on screen: dots, and a
// button beside each that shows the text only while it is held down.
class Test_Par_Gen_Secrets : public QObject {
    Q_OBJECT
private slots:
    void Secrets_Are_Dots_Until_Held_data();
    void Secrets_Are_Dots_Until_Held();
};

void Test_Par_Gen_Secrets::Secrets_Are_Dots_Until_Held_data()
{
    QTest::addColumn<QString>("Field");
    QTest::addColumn<int>("Label_Slot");
    QTest::newRow("server password") << "E_IEC61850_Server_Password" << 409;
    QTest::newRow("key password") << "E_TLS_Server_Key_Pass" << 416;
}

void Test_Par_Gen_Secrets::Secrets_Are_Dots_Until_Held()
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

QTEST_MAIN(Test_Par_Gen_Secrets)
#include "test_par_gen_secrets.moc"
