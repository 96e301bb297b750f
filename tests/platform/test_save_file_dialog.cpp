#include "platform/Ui_Save_File_Dialog.h"
#include "support/Test_Support.h"

#include <QFileDialog>
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Test_Support::When_Modal;
using Test_Support::Write_File;

class Test_Save_File_Dialog : public QObject {
    Q_OBJECT
private slots:
    void Filter_Text_data();
    void Filter_Text();
    void Returns_Chosen_Path_Without_Asking();
    void Cancel_Returns_Nothing();
};

void Test_Save_File_Dialog::Filter_Text_data()
{
    QTest::addColumn<QString>("Pattern");
    QTest::addColumn<QString>("Filter");
    QTest::newRow("composed name") << "GSDML-V2.31-Korvex-GW40610_plant1-20310109.xml"
                                   << "PROFINET XML (*.xml) (GSDML-V2.31-Korvex-GW40610_plant1-20310109.xml)";
    QTest::newRow("wildcards match themselves") << "a*b?[c].xml" << "PROFINET XML (*.xml) (a[*]b[?][[]c].xml)";
    QTest::newRow("blank") << "a b.xml" << "PROFINET XML (*.xml) (*.xml)";
    QTest::newRow("parenthesis") << "a(1).xml" << "PROFINET XML (*.xml) (*.xml)";
    QTest::newRow("letter outside ASCII") << QString::fromUtf8("caff\xC3\xA8.xml") << "PROFINET XML (*.xml) (*.xml)";
}

void Test_Save_File_Dialog::Filter_Text()
{
    QFETCH(QString, Pattern);
    QFETCH(QString, Filter);
    Save_File_Request Request{"/tmp", Pattern, "PROFINET XML (*.xml)", Pattern};
    QCOMPARE(Qt_Save_File_Dialog::Filter_Text(Request), Filter);
}

void Test_Save_File_Dialog::Returns_Chosen_Path_Without_Asking()
{
    QTemporaryDir Dir;
    const QString Name = "GSDML-V2.31-Korvex-GW40610-20310109.xml";
    Write_File(Dir.path() + "/" + Name, "existing");
    QString Offered_Name;
    QStringList Offered_Filters;
    QString Shown_Filter;
    bool Asked_More = false;
    When_Modal([&](QWidget* Modal) {
        auto* Dialog = qobject_cast<QFileDialog*>(Modal);
        QVERIFY(Dialog);
        Offered_Name = Dialog->findChild<QLineEdit*>("fileNameEdit")->text();
        Offered_Filters = Dialog->nameFilters();
        Shown_Filter = Dialog->findChild<QComboBox*>("fileTypeCombo")->currentText();
        // A question about overwriting would open inside accept(): note it and answer Yes.
        QTimer::singleShot(200, [&Asked_More, Dialog] {
            if (auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                Asked_More = true;
                Box->button(QMessageBox::Yes)->click();
            }
        });
        static_cast<QDialog*>(Dialog)->accept();
    });
    Qt_Save_File_Dialog Save;
    const auto Path = Save.Ask_Save_Path({Dir.path(), Name, "PROFINET XML (*.xml)", Name});
    QCOMPARE(Offered_Name, Name);
    QCOMPARE(Offered_Filters, QStringList{"PROFINET XML (*.xml) (" + Name + ")"});
    // The user reads a plain description; the pattern stays behind it.
    QCOMPARE(Shown_Filter, QString("PROFINET XML (*.xml)"));
    QVERIFY(!Asked_More);
    QVERIFY(Path);
    // As the user reads it, with the system's separators.
    QCOMPARE(*Path, QDir::toNativeSeparators(Dir.path() + "/" + Name));
}

void Test_Save_File_Dialog::Cancel_Returns_Nothing()
{
    QTemporaryDir Dir;
    When_Modal([](QWidget* Modal) { qobject_cast<QDialog*>(Modal)->reject(); });
    Qt_Save_File_Dialog Save;
    QVERIFY(!Save.Ask_Save_Path({Dir.path(), "a.xml", "PROFINET XML (*.xml)", "a.xml"}));
}

QTEST_MAIN(Test_Save_File_Dialog)
#include "test_save_file_dialog.moc"
