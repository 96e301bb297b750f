#include "foundation/Lang_Strings.h"
#include "platform/Ui_Message_Box_Prompter.h"
#include "support/Test_Support.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using Test_Support::When_Modal;

class Test_Message_Box_Prompter : public QObject {
    Q_OBJECT
private slots:
    void Kinds_And_Answers_data();
    void Kinds_And_Answers();
    void Text_Is_Shown_As_Written();
    void Losing_Questions_Default_To_No_data();
    void Losing_Questions_Default_To_No();
    void Default_No_Question_Goes_Back_On_Enter();
    void Long_Messages_Wrap_data();
    void Long_Messages_Wrap();
};

void Test_Message_Box_Prompter::Kinds_And_Answers_data()
{
    QTest::addColumn<Prompt_Kind>("Kind");
    QTest::addColumn<Prompt_Buttons>("Buttons");
    QTest::addColumn<QMessageBox::StandardButton>("Press");
    QTest::addColumn<QMessageBox::Icon>("Icon");
    QTest::addColumn<Prompt_Answer>("Answer");
    QTest::newRow("error") << Prompt_Kind::Error << Prompt_Buttons::Ok << QMessageBox::Ok << QMessageBox::Critical
                           << Prompt_Answer::Ok;
    QTest::newRow("warning") << Prompt_Kind::Warning << Prompt_Buttons::Ok << QMessageBox::Ok << QMessageBox::Warning
                             << Prompt_Answer::Ok;
    QTest::newRow("information") << Prompt_Kind::Information << Prompt_Buttons::Ok << QMessageBox::Ok
                                 << QMessageBox::Information << Prompt_Answer::Ok;
    QTest::newRow("confirmation yes") << Prompt_Kind::Confirmation << Prompt_Buttons::Yes_No << QMessageBox::Yes
                                      << QMessageBox::Question << Prompt_Answer::Yes;
    QTest::newRow("confirmation no") << Prompt_Kind::Confirmation << Prompt_Buttons::Yes_No << QMessageBox::No
                                     << QMessageBox::Question << Prompt_Answer::No;
}

void Test_Message_Box_Prompter::Kinds_And_Answers()
{
    QFETCH(Prompt_Kind, Kind);
    QFETCH(Prompt_Buttons, Buttons);
    QFETCH(QMessageBox::StandardButton, Press);
    QFETCH(QMessageBox::Icon, Icon);
    QFETCH(Prompt_Answer, Answer);
    QMessageBox::Icon Shown_Icon = QMessageBox::NoIcon;
    int Button_Count = 0;
    When_Modal([&](QWidget* Modal) {
        auto* Box = qobject_cast<QMessageBox*>(Modal);
        QVERIFY(Box);
        Shown_Icon = Box->icon();
        Button_Count = Box->buttons().size();
        QTest::mouseClick(Box->button(Press), Qt::LeftButton);
    });
    Message_Box_Prompter Prompts;
    QCOMPARE(Prompts.Show(Kind, "Text", Buttons), Answer);
    QCOMPARE(Shown_Icon, Icon);
    QCOMPARE(Button_Count, Buttons == Prompt_Buttons::Ok ? 1 : 2);
}

void Test_Message_Box_Prompter::Text_Is_Shown_As_Written()
{
    // Messages carry file and configuration names, which may hold markup characters.
    const QString Text = "<b>Plant &amp; 7</b> could not be read";
    QSize Shown;
    QSize Plain_Size;
    When_Modal([&](QWidget* Modal) {
        auto* Label = Modal->findChild<QLabel*>("qt_msgbox_label");
        QVERIFY(Label);
        QLabel Plain;
        Plain.setFont(Label->font());
        Plain.setTextFormat(Qt::PlainText);
        Plain.setText(Text);
        Shown = Label->sizeHint();
        Plain_Size = Plain.sizeHint();
        qobject_cast<QMessageBox*>(Modal)->button(QMessageBox::Ok)->click();
    });
    Message_Box_Prompter Prompts;
    Prompts.Error(Text);
    QCOMPARE(Shown, Plain_Size);
}

void Test_Message_Box_Prompter::Losing_Questions_Default_To_No_data()
{
    QTest::addColumn<Prompt_Buttons>("Buttons");
    QTest::addColumn<int>("Key");
    QTest::addColumn<Prompt_Answer>("Answer");
    QTest::newRow("plain question, Enter") << Prompt_Buttons::Yes_No << int(Qt::Key_Return) << Prompt_Answer::Yes;
    QTest::newRow("losing question, Enter") << Prompt_Buttons::Yes_No_Default_No << int(Qt::Key_Return)
                                            << Prompt_Answer::No;
    QTest::newRow("losing question, Escape") << Prompt_Buttons::Yes_No_Default_No << int(Qt::Key_Escape)
                                             << Prompt_Answer::No;
}

void Test_Message_Box_Prompter::Losing_Questions_Default_To_No()
{
    QFETCH(Prompt_Buttons, Buttons);
    QFETCH(int, Key);
    QFETCH(Prompt_Answer, Answer);
    When_Modal([&](QWidget* Modal) { QTest::keyClick(Modal, Qt::Key(Key)); });
    Message_Box_Prompter Prompts;
    QCOMPARE(Prompts.Show(Prompt_Kind::Confirmation, "Delete?", Buttons), Answer);
}

void Test_Message_Box_Prompter::Default_No_Question_Goes_Back_On_Enter()
{
    // A user who only presses Enter must not agree to what the question warns about.
    bool No_Is_Default = false;
    When_Modal([&](QWidget* Modal) {
        auto* Box = qobject_cast<QMessageBox*>(Modal);
        QVERIFY(Box);
        No_Is_Default = Box->defaultButton() == Box->button(QMessageBox::No);
        QTest::keyClick(Box, Qt::Key_Return);
    });
    Message_Box_Prompter Prompts;
    QVERIFY(!Prompts.Confirm_Default_No("Save anyway?"));
    QVERIFY(No_Is_Default);
}

void Test_Message_Box_Prompter::Long_Messages_Wrap_data()
{
    QTest::addColumn<QString>("Text");
    // The longest text of each shipped language, with a row number joined to
    // it as the editors do, and one word longer than any screen.
    const QDir Shipped(QStringLiteral(SW_RESOURCES_DIR "/LANGUAGE"));
    for (const QString& File : Shipped.entryList({QStringLiteral("*.lng")}, QDir::Files)) {
        Lang_Table Table;
        Table.Create_Default_Strings();
        Load_Lang_File(Table, Shipped.filePath(File));
        QString Longest;
        for (int I = 0; I < Table.Count(); ++I)
            if (Table[I].size() > Longest.size())
                Longest = Table[I];
        QTest::newRow(File.toUtf8().constData()) << Longest + QStringLiteral("1049");
    }
    QTest::newRow("one long word") << QStringLiteral("/home/user/") + QString(300, QLatin1Char('x'));
}

// However long, a message is shown whole inside the screen: its lines wrap.
void Test_Message_Box_Prompter::Long_Messages_Wrap()
{
    QFETCH(QString, Text);
    QRect Box_Place;
    QRect Screen;
    bool Found = false;
    int Needed_Height = 0;
    int Label_Height = 0;
    When_Modal([&](QWidget* Modal) {
        Box_Place = Modal->geometry();
        Screen = Modal->screen()->availableGeometry();
        auto* Label = Modal->findChild<QLabel*>("qt_msgbox_label");
        QVERIFY(Label);
        Found = true;
        Needed_Height = Label->heightForWidth(Label->width());
        Label_Height = Label->height();
        QVERIFY2(Label->wordWrap() || Label->sizeHint().width() <= Label->width(), "a long line is not wrapped");
        qobject_cast<QMessageBox*>(Modal)->button(QMessageBox::Ok)->click();
    });
    Message_Box_Prompter Prompts;
    Prompts.Error(Text);
    QVERIFY(Found);
    QVERIFY2(Box_Place.width() <= Screen.width(), qPrintable(QStringLiteral("box %1 px wide on a screen of %2")
                                                                  .arg(Box_Place.width())
                                                                  .arg(Screen.width())));
    QVERIFY2(Needed_Height <= Label_Height,
             qPrintable(QStringLiteral("text needs %1 px high, has %2").arg(Needed_Height).arg(Label_Height)));
}

QTEST_MAIN(Test_Message_Box_Prompter)
#include "test_message_box_prompter.moc"
