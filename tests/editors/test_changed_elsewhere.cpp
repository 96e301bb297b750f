// Each editor's OK with its file changed elsewhere since it was loaded, and
// with the configuration open read-only.
#include "editors/Editor_Fixture.h"
#include "editors/TFIEC61850_Variables.h"
#include "editors/TFParGen.h"
#include "editors/TFTLS_Server_Known_Cert.h"
#include "editors/Ui_Save_Guard.h"
#include "project/Known_Cert_File.h"
#include "project/Par_Gen_File.h"
#include "project/Project_History.h"
#include "project/Variables_File.h"
#include "review/TFCompare.h"
#include "support/Fixed_Separator.h"
#include "support/Test_Certificates.h"

#include <QFile>
#include <QMessageBox>
#include <QTreeWidget>

using Test_Support::Find;
using Test_Support::When_Modal;

namespace {

QByteArray Bytes_Of(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

const QStringList Variable_Row{"Y", "Temp", "Float", "4", "N", "0", "", "None", "None", "N", "N", ""};
const QStringList Other_Row{"Y", "Pressure", "Float", "4", "N", "4", "", "None", "None", "N", "N", ""};

// One editor over the fixture's configuration: its dialog, its file, what
// another program writes into the file, and the text that tells the
// difference apart in the comparison.
struct Editor_Case {
    std::unique_ptr<QDialog> Dialog;
    Save_Guard* Guard = nullptr;
    QString Path;
    std::function<void()> Write_Elsewhere;
    QString Changed_Item;
};

Editor_Case Make_Editor(int Which, Editor_Fixture& F, Decimal_Separator& Separator)
{
    Editor_Case Case;
    if (Which == 0) {
        Case.Path = F.Space.File_ParGen;
        Par_Gen::Save(Case.Path, Par_Gen::Defaults());
        auto* Dialog = new TFParGen(F.Space, F.Prompts);
        Case.Guard = &Dialog->Guard();
        Case.Dialog.reset(Dialog);
        Case.Write_Elsewhere = [Path = Case.Path] {
            Par_Gen::Values Data = Par_Gen::Defaults();
            Data[Par_Gen::PROFINET_NAME_STA] = "gw-from-b";
            Par_Gen::Save(Path, Data);
        };
        Case.Changed_Item = "gw-from-b";
    } else if (Which == 1) {
        Case.Path = F.Space.File_IEC61850_Variables;
        Variables_File::Save(Case.Path, {Variable_Row});
        auto* Dialog = new TFIEC61850_Variables(F.Space, F.Prompts, &Separator);
        Case.Guard = &Dialog->Guard();
        Case.Dialog.reset(Dialog);
        Case.Write_Elsewhere = [Path = Case.Path] { Variables_File::Save(Path, {Variable_Row, Other_Row}); };
        Case.Changed_Item = "Pressure";
    } else {
        // No file yet when the editor loads: one created elsewhere is a change too.
        // The list reaches the device, so its differences count, with TLS and the list enabled.
        Par_Gen::Values General = Par_Gen::Defaults();
        General[Par_Gen::TLS_Server_Enable] = "1";
        General[Par_Gen::TLS_Server_Enable_Known_Cert] = "1";
        Par_Gen::Save(F.Space.File_ParGen, General);
        // Saving an empty list then is asked about first.
        F.Prompts.Answers = {Prompt_Answer::Yes};
        Case.Path = F.Space.File_TLS_Known_Cert;
        auto* Dialog = new TFTLS_Server_Known_Cert(F.Space, F.Prompts);
        Case.Guard = &Dialog->Guard();
        Case.Dialog.reset(Dialog);
        Case.Write_Elsewhere = [Path = Case.Path] {
            const Test_Pki::Made_Key Key = Test_Pki::Make_Key(Test_Pki::Key_Type::EC_P256);
            Test_Pki::Certificate_Request Request;
            Request.Common_Name = "door panel";
            Request.Subject_Key = &Key;
            Request.Not_Before = QDateTime::currentDateTimeUtc().addDays(-1);
            Request.Not_After = QDateTime::currentDateTimeUtc().addYears(1);
            Known_Cert_File::Save(Path, {{"Y", Test_Pki::Make_Certificate(Request).Pem(), "Door"}});
        };
        Case.Changed_Item = "certificate";
    }
    return Case;
}

void Load(QDialog& Dialog)
{
    if (auto* P = qobject_cast<TFParGen*>(&Dialog))
        Show_Editor(*P);
    else if (auto* L = qobject_cast<List_Editor*>(&Dialog))
        Show_Editor(*L);
}

// The question's button Name, clicked.
void Answer(QWidget* Box, const QString& Name)
{
    QCOMPARE(Box->objectName(), QString("Changed_Elsewhere"));
    QTest::mouseClick(Find<QPushButton>(Box, Name), Qt::LeftButton);
}

} // namespace

class Test_Changed_Elsewhere : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The comparison puts both versions in temporary folders: below the test's own.
        static QTemporaryDir Temp;
        qputenv("TMPDIR", Temp.path().toUtf8());
    }

    void ok_asks_before_overwriting_data()
    {
        QTest::addColumn<int>("Which");
        QTest::addColumn<QString>("Choice");
        const char* Names[] = {"general parameters", "variables", "known certificates"};
        for (int Which = 0; Which < 3; ++Which)
            for (const char* Choice : {"Btn_Cancel", "Btn_Overwrite", "Btn_Show_Differences"})
                QTest::addRow("%s, %s", Names[Which], Choice) << Which << QString(Choice);
    }

    void ok_asks_before_overwriting()
    {
        QFETCH(int, Which);
        QFETCH(QString, Choice);
        Editor_Fixture F;
        Fixed_Separator Separator(".");
        Editor_Case Case = Make_Editor(Which, F, Separator);
        // Shows the differences as the main window does.
        Case.Guard->Show_Differences = [&](QWidget* Parent, const QString& Name, const QByteArray& Mine,
                                           const QString& Disk) {
            TFCompare::Show_File_Differences(F.Space, Separator, F.Prompts, Parent, Name, Mine, Disk);
        };
        Load(*Case.Dialog);
        Case.Write_Elsewhere();
        const QByteArray Elsewhere = Bytes_Of(Case.Path);

        bool Asked = false;
        QStringList Compared;
        When_Modal([&](QWidget* Box) {
            Asked = true;
            QVERIFY(Find<QPushButton>(Box, "Btn_Cancel")->isDefault());
            // Nothing is written while the question is open.
            QCOMPARE(Bytes_Of(Case.Path), Elsewhere);
            if (Choice != "Btn_Show_Differences")
                return Answer(Box, Choice);
            Answer(Box, Choice);
            When_Modal([&](QWidget* Compare) {
                QCOMPARE(Compare->objectName(), QString("TFCompare"));
                auto* Tree = Find<QTreeWidget>(Compare, "Tree_Differences");
                for (QTreeWidgetItemIterator It(Tree); *It; ++It)
                    Compared << QStringList{(*It)->text(0), (*It)->text(1), (*It)->text(2)}.join(" | ");
                QTest::mouseClick(Find<QPushButton>(Compare, "Btn_Close"), Qt::LeftButton);
                // Then the question again.
                When_Modal([&](QWidget* Again) { Answer(Again, "Btn_Cancel"); });
            });
        });
        Click_Button(Case.Dialog.get(), "Btn_OK");
        QTRY_VERIFY(Asked);
        if (Choice == "Btn_Overwrite") {
            QVERIFY(!Case.Dialog->isVisible());
            QVERIFY(Bytes_Of(Case.Path) != Elsewhere);
            // The edit made elsewhere is not lost: the history kept it.
            QCOMPARE(Bytes_Of(Project_History::List(F.Space.Project_Dir).first().Path), Elsewhere);
        } else {
            QVERIFY(Case.Dialog->isVisible());
            QCOMPARE(Bytes_Of(Case.Path), Elsewhere);
        }
        if (Choice == "Btn_Show_Differences")
            QVERIFY2(Compared.join("\n").contains(Case.Changed_Item), qPrintable(Compared.join("\n") + F.Prompts.Texts().join("\n")));
        F.Prompts.Messages.clear();
    }

    void an_unchanged_file_is_written_without_a_question_data()
    {
        QTest::addColumn<int>("Which");
        QTest::newRow("general parameters") << 0;
        QTest::newRow("variables") << 1;
        QTest::newRow("known certificates") << 2;
    }

    void an_unchanged_file_is_written_without_a_question()
    {
        QFETCH(int, Which);
        Editor_Fixture F;
        Fixed_Separator Separator(".");
        Editor_Case Case = Make_Editor(Which, F, Separator);
        Load(*Case.Dialog);
        // Touched but not changed: no edit of anyone else is at stake.
        if (QFile::exists(Case.Path)) {
            QFile Touched(Case.Path);
            QVERIFY(Touched.open(QIODevice::ReadOnly | QIODevice::Append));
            QVERIFY(Touched.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        }
        bool Asked = false;
        const auto Poll = When_Modal([&](QWidget* Box) {
            Asked = true;
            Answer(Box, "Btn_Cancel");
        }, 500);
        Click_Button(Case.Dialog.get(), "Btn_OK");
        QVERIFY(!Asked);
        QVERIFY(!Case.Dialog->isVisible());
        for (const auto& Shown : F.Prompts.Messages)
            QVERIFY2(Shown.Kind != Prompt_Kind::Error, qPrintable(Shown.Text));
        if (Poll)
            Poll->stop();
    }

    void a_read_only_configuration_refuses_every_save_data() { an_unchanged_file_is_written_without_a_question_data(); }

    void a_read_only_configuration_refuses_every_save()
    {
        QFETCH(int, Which);
        Editor_Fixture F;
        Fixed_Separator Separator(".");
        Editor_Case Case = Make_Editor(Which, F, Separator);
        Case.Guard->Read_Only_Reason = "open in another program";
        Load(*Case.Dialog);
        const QByteArray Before = Bytes_Of(Case.Path);
        Click_Button(Case.Dialog.get(), "Btn_OK");
        QCOMPARE(F.Prompts.Texts(), QStringList{"open in another program"});
        QVERIFY(Case.Dialog->isVisible());
        QCOMPARE(Bytes_Of(Case.Path), Before);
    }
};

QTEST_MAIN(Test_Changed_Elsewhere)
#include "test_changed_elsewhere.moc"
