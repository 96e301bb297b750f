#include "gsdml/TFProfinetFileName.h"
#include "gsdml/Profinet_File_Name.h"
#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Support.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using Test_Support::Find;
using Test_Support::When_Modal;

namespace {

struct Fixture {
    QTemporaryDir Dir;
    Workspace Space{Dir.path()};
    Scripted_Prompter Prompts;
    std::unique_ptr<TFProfinetFileName> Dialog;

    explicit Fixture(QDate Start = QDate(2031, 1, 9))
    {
        Space.Init_Language();
        Space.Set_Identity();
        Dialog = std::make_unique<TFProfinetFileName>(Space, Prompts, Start);
    }
    // Opens the dialog modally, types User and presses the button; returns the dialog's result.
    int Run(const QString& User, const char* Button = "Btn_OK")
    {
        When_Modal([&](QWidget* Modal) {
            auto* Edit = Find<QLineEdit>(Modal, "E_XML_User");
            Edit->clear();
            QTest::keyClicks(Edit, User);
            QTest::mouseClick(Find<QPushButton>(Modal, Button), Qt::LeftButton);
        });
        return Dialog->exec();
    }
    QString Text(const char* Name) { return Find<QLabel>(Dialog.get(), Name)->text(); }
};

} // namespace

class Test_Profinet_File_Name : public QObject {
    Q_OBJECT
private slots:
    void Composes_Name_data();
    void Composes_Name();
    void Date_Part_data();
    void Date_Part();
    void Cancel_Keeps_Last_Name();
    void User_Part_Kept_Between_Openings();
    void Texts_And_Size();
    void Unusable_User_Part_Refused_data();
    void Unusable_User_Part_Refused();
};

void Test_Profinet_File_Name::Composes_Name_data()
{
    QTest::addColumn<QString>("User");
    QTest::addColumn<QString>("Name");
    const QString F1 = "GSDML-V2.31-Korvex-GW40610";
    const QString F2 = "-20310109.xml";
    QTest::newRow("empty") << "" << F1 + F2;
    QTest::newRow("blanks only") << "   " << F1 + F2;
    QTest::newRow("plain") << "plant1" << F1 + "_plant1" + F2;
    QTest::newRow("leading underscore") << "_plant1" << F1 + "_plant1" + F2;
    QTest::newRow("leading blank") << " plant1" << F1 + "_ plant1" + F2;
    QTest::newRow("blank then underscore") << " _plant1" << F1 + "_ _plant1" + F2;
    QTest::newRow("trailing blank kept") << "plant1 " << F1 + "_plant1 " + F2;
    QTest::newRow("letters, digits, blanks, brackets") << "Linie 2 (Nord)-7" << F1 + "_Linie 2 (Nord)-7" + F2;
}

void Test_Profinet_File_Name::Composes_Name()
{
    QFETCH(QString, User);
    QFETCH(QString, Name);
    Fixture F;
    QCOMPARE(F.Run(User), int(QDialog::Accepted));
    QCOMPARE(F.Dialog->Name_File_XML, Name);
}

void Test_Profinet_File_Name::Date_Part_data()
{
    QTest::addColumn<QDate>("Start");
    QTest::addColumn<QString>("Fix2");
    QTest::newRow("month and day padded") << QDate(2031, 1, 9) << "-20310109.xml";
    QTest::newRow("no padding needed") << QDate(2031, 11, 25) << "-20311125.xml";
    QTest::newRow("day padded only") << QDate(2024, 12, 1) << "-20241201.xml";
    QTest::newRow("month padded only") << QDate(2024, 2, 29) << "-20240229.xml";
}

void Test_Profinet_File_Name::Date_Part()
{
    QFETCH(QDate, Start);
    QFETCH(QString, Fix2);
    Fixture F(Start);
    QCOMPARE(F.Text("L_XML_Fix1"), QString("GSDML-V2.31-Korvex-GW40610"));
    QCOMPARE(F.Text("L_XML_Fix2"), Fix2);
    QCOMPARE(F.Run(""), int(QDialog::Accepted));
    QCOMPARE(F.Dialog->Name_File_XML, "GSDML-V2.31-Korvex-GW40610" + Fix2);
}

void Test_Profinet_File_Name::Cancel_Keeps_Last_Name()
{
    Fixture F;
    QCOMPARE(F.Run("first"), int(QDialog::Accepted));
    QCOMPARE(F.Run("second", "Btn_Cancel"), int(QDialog::Rejected));
    QCOMPARE(F.Dialog->Name_File_XML, QString("GSDML-V2.31-Korvex-GW40610_first-20310109.xml"));
}

void Test_Profinet_File_Name::User_Part_Kept_Between_Openings()
{
    Fixture F;
    QCOMPARE(F.Run("line 3"), int(QDialog::Accepted));
    QString Shown;
    When_Modal([&](QWidget* Modal) {
        Shown = Find<QLineEdit>(Modal, "E_XML_User")->text();
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_OK"), Qt::LeftButton);
    });
    QCOMPARE(F.Dialog->exec(), int(QDialog::Accepted));
    QCOMPARE(Shown, QString("line 3"));
    QCOMPARE(F.Dialog->Name_File_XML, QString("GSDML-V2.31-Korvex-GW40610_line 3-20310109.xml"));
}

void Test_Profinet_File_Name::Texts_And_Size()
{
    Fixture F;
    TFProfinetFileName& D = *F.Dialog;
    QCOMPARE(D.size(), QSize(540, 205));
    QCOMPARE(D.windowTitle(), QString("PROFINET XML File Name"));
    QCOMPARE(F.Text("L_SW_Code"), QString("SW40610"));
    QCOMPARE(F.Text("L_SW_Desc"), QString("Create the PROFINET XML GSD File"));
    QCOMPARE(F.Text("Label1"), QString("Select the PROFINET XML File Name"));
    QCOMPARE(F.Text("Label2"), QString("Fixed Part"));
    QCOMPARE(F.Text("Label4"), QString("User Part"));
    QCOMPARE(F.Text("Label5"), QString("Fixed Part"));
    auto* OK = Find<QPushButton>(&D, "Btn_OK");
    auto* Cancel = Find<QPushButton>(&D, "Btn_Cancel");
    auto* User = Find<QLineEdit>(&D, "E_XML_User");
    QCOMPARE(OK->text(), QString("OK"));
    QCOMPARE(OK->toolTip(), QString("Confirm and save the GSDML File"));
    QCOMPARE(Cancel->text(), QString("Cancel"));
    QCOMPARE(Cancel->toolTip(), QString("Exit without save the GSDML File"));
    QCOMPARE(User->toolTip(), QString("Insert here the User part of GSDML file"));
    QCOMPARE(User->accessibleName(), QString("User Part"));
    QCOMPARE(User->maxLength(), 32767);  // no limit of its own

    // One row: first fixed part, user part, last fixed part, each under its heading.
    auto* Fix1 = Find<QLabel>(&D, "L_XML_Fix1");
    auto* Fix2 = Find<QLabel>(&D, "L_XML_Fix2");
    QCOMPARE(Fix1->y(), User->y());
    QCOMPARE(Fix2->y(), User->y());
    QVERIFY(Fix1->geometry().right() < User->x());
    QVERIFY(User->geometry().right() < Fix2->x());
    for (auto [Heading, Part] : {std::pair<const char*, QWidget*>{"Label2", Fix1}, {"Label4", User}, {"Label5", Fix2}}) {
        auto* Label = Find<QLabel>(&D, Heading);
        QVERIFY2(Label->geometry().bottom() <= Part->y() && Label->x() == Part->x(), Heading);
    }
    for (QWidget* W : D.findChildren<QWidget*>())
        QVERIFY2(QRect(QPoint(0, 0), D.size()).contains(W->geometry()), qPrintable(W->objectName()));
    // The fixed parts are readable in full.
    QVERIFY(Fix1->fontMetrics().horizontalAdvance(Fix1->text()) <= Fix1->width());
    QVERIFY(Fix2->fontMetrics().horizontalAdvance(Fix2->text()) <= Fix2->width());

    // A language change reaches every text.
    for (int Slot = 1500; Slot <= 1510; ++Slot)
        F.Space.Lang_Strings.Set(Slot, QString("T%1").arg(Slot));
    D.Set_Lang();
    QCOMPARE(D.windowTitle(), QString("T1500"));
    QCOMPARE(F.Text("L_SW_Desc"), QString("T1501"));
    QCOMPARE(OK->text(), QString("T1502"));
    QCOMPARE(Cancel->text(), QString("T1503"));
    QCOMPARE(F.Text("Label1"), QString("T1504"));
    QCOMPARE(F.Text("Label2"), QString("T1505"));
    QCOMPARE(F.Text("Label4"), QString("T1506"));
    QCOMPARE(F.Text("Label5"), QString("T1507"));
    QCOMPARE(User->toolTip(), QString("T1508"));
    QCOMPARE(OK->toolTip(), QString("T1509"));
    QCOMPARE(Cancel->toolTip(), QString("T1510"));
    QCOMPARE(F.Text("L_XML_Fix2"), QString("-20310109.xml"));
}

void Test_Profinet_File_Name::Unusable_User_Part_Refused_data()
{
    QTest::addColumn<QString>("User");
    QTest::addColumn<int>("At");
    QTest::addColumn<QString>("Shown");
    QTest::newRow("slash and colon") << "line 2/unit:3" << 6 << "/";
    QTest::newRow("backslash") << "a\\b" << 1 << "\\";
    QTest::newRow("colon") << "unit:3" << 4 << ":";
    QTest::newRow("tab") << "a\tb" << 1 << "U+0009";
    QTest::newRow("line feed") << "a\nb" << 1 << "U+000A";
    QTest::newRow("delete") << QString("a") + QChar(0x7F) << 1 << "U+007F";
    QTest::newRow("right-to-left override") << QString("gsd") + QChar(0x202E) + "lmx" << 3 << "U+202E";
    for (const char* Forbidden : {"<", ">", "\"", "|", "?", "*"})
        QTest::addRow("%s", Forbidden) << QString("x") + Forbidden << 1 << QString(Forbidden);
}

void Test_Profinet_File_Name::Unusable_User_Part_Refused()
{
    QFETCH(QString, User);
    QFETCH(int, At);
    QFETCH(QString, Shown);
    Fixture F;
    bool Stayed = false;
    bool Focused = false;
    QString Selected;
    When_Modal([&](QWidget* Modal) {
        auto* Edit = Find<QLineEdit>(Modal, "E_XML_User");
        Edit->setText(User);
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_OK"), Qt::LeftButton);
        Stayed = Modal->isVisible();
        Focused = Modal->focusWidget() == Edit;
        Selected = Edit->selectedText();
        QTest::mouseClick(Find<QPushButton>(Modal, "Btn_Cancel"), Qt::LeftButton);
    });
    // Cancel after the refusal: no name composed, so the main window opens no save dialog.
    QCOMPARE(F.Dialog->exec(), int(QDialog::Rejected));
    QVERIFY(Stayed);
    QCOMPARE(F.Prompts.Texts(), QStringList{F.Space.Str(1512).arg(Shown)});
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QVERIFY(Focused);
    QCOMPARE(Selected, User.mid(At, 1));
    QCOMPARE(F.Dialog->Name_File_XML, QString());
}

QTEST_MAIN(Test_Profinet_File_Name)
#include "test_profinet_file_name.moc"
