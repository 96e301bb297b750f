// The known-certificates editor with real certificates: what it refuses, what
// it asks about, loading a row from a file and how each row shows its certificate.
#include "Editor_Fixture.h"
#include "editors/List_Files.h"
#include "project/Par_Gen_File.h"
#include "editors/TFTLS_Server_Known_Cert.h"
#include "editors/Ui_Certificate_Delegate.h"
#include "editors/Ui_Table_View.h"
#include "support/Scripted_File_Dialogs.h"
#include "support/Test_Certificates.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include <optional>

using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::Write_File;
namespace T = TLS_Known_Cert;

namespace {

struct Known_Fixture : Editor_Fixture {
    Scripted_Open_Dialog Open_Dialog;
    TFTLS_Server_Known_Cert Dialog{Space, Prompts, nullptr, &Open_Dialog};
    Table_View* Grid = Find<Table_View>(&Dialog, "ASG");

    Table_Model& Table() { return Dialog.ASG_Model(); }
    void Open() { Show_Editor(Dialog); }
    void Click(const QString& Button) { Click_Button(&Dialog, Button); }
    void Set_Row(int Row, const QString& Certificate, bool Enabled = true, const QString& Mnemonic = {})
    {
        Table().Set_Cell(Row, T::Col_Certificate, Certificate);
        Table().Set_Check(Row, T::Col_Enable, Enabled);
        Table().Set_Cell(Row, T::Col_Mnemonic, Mnemonic);
    }
    // A saved list to compare against: one sound certificate.
    QByteArray Save_Start(const QString& Certificate)
    {
        Set_Row(1, Certificate);
        QByteArray Bytes = T::To_Bytes(Table());
        Write_File(Space.File_TLS_Known_Cert, Bytes);
        return Bytes;
    }
    QString In_Project(const QString& Name) { return Space.Project_Dir + u'/' + Name; }
};

} // namespace

class Test_Known_Certificates : public QObject {
    Q_OBJECT

    std::optional<Test_Pki::Set> Pki;

private slots:
    void initTestCase() { Pki.emplace(QDateTime::currentDateTimeUtc()); }

    void Blocking_rows_keep_the_dialog_open_and_the_file_unchanged_data()
    {
        QTest::addColumn<QString>("Row_2");
        QTest::addColumn<QString>("Message");
        const Test_Pki::Set& P = *Pki;
        QTest::newRow("private key") << P.Server_Key.Pem()
                                     << QStringLiteral("Row 2 (laptop): holds a private key; only certificates may be listed");
        QTest::newRow("encrypted key behind a certificate")
            << P.Unrelated.Pem() + P.Server_Key.Encrypted_Pem(QStringLiteral("pw"))
            << QStringLiteral("Row 2 (laptop): holds a private key; only certificates may be listed");
        QTest::newRow("two certificates") << P.Server.Pem() + P.Root.Pem()
                                          << QStringLiteral("Row 2 (laptop): must hold exactly one certificate "
                                                            "(CN=plant-north, valid until %1, RSA 2048 (and 1 more))")
                                                 .arg(P.Now.addYears(2).date().toString(Qt::ISODate));
        QTest::newRow("prose") << QStringLiteral("ask the plant's IT")
                               << QStringLiteral("Row 2 (laptop): must hold exactly one certificate (no start line)");
    }

    void Blocking_rows_keep_the_dialog_open_and_the_file_unchanged()
    {
        QFETCH(QString, Row_2);
        QFETCH(QString, Message);
        Known_Fixture F;
        // The saved list is there before the editor loads it, as a list saved earlier is.
        const QByteArray Before = F.Save_Start(Pki->Unrelated.Pem());
        F.Open();
        F.Set_Row(2, Row_2, false, QStringLiteral("laptop"));
        F.Table().Set_Current(1, T::Col_Mnemonic);
        F.Click(QStringLiteral("Btn_OK"));
        QCOMPARE(F.Prompts.Texts(), QStringList{Message});
        QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
        QVERIFY(F.Dialog.isVisible());
        QCOMPARE(Read_File(F.Space.File_TLS_Known_Cert), Before);
        // The row at fault is the current cell, ready to be mended.
        QCOMPARE(F.Table().Current_Row(), 2);
        QCOMPARE(F.Table().Current_Column(), int(T::Col_Certificate));
        QCOMPARE(F.Grid->currentIndex(), F.Table().index(1, T::Col_Certificate - 1));
        QCOMPARE(F.Table().Cell(2, T::Col_Certificate), Row_2);
    }

    void Warnings_are_asked_together_and_No_keeps_the_file()
    {
        Known_Fixture F;
        // The saved list is there before the editor loads it, as a list saved earlier is.
        const QByteArray Before = F.Save_Start(Pki->Unrelated.Pem());
        F.Open();
        F.Set_Row(2, Pki->Expired.Pem(), true, QStringLiteral("old"));
        F.Set_Row(3, Pki->Unrelated.Pem(), true);
        F.Click(QStringLiteral("Btn_OK"));
        QCOMPARE(F.Prompts.Messages.size(), 1);
        const auto& Asked = F.Prompts.Messages[0];
        QCOMPARE(Asked.Kind, Prompt_Kind::Warning);
        QCOMPARE(Asked.Buttons, Prompt_Buttons::Yes_No_Default_No);
        QCOMPARE(Asked.Text, QStringLiteral("Please check the list of known certificates:\n"
                                            "- Row 2 (old): the certificate CN=old-client has expired on %1\n"
                                            "- Row 3: the same certificate as Row 1\n\n"
                                            "Do you want to save anyway?")
                                 .arg(Pki->Now.addYears(-1).date().toString(Qt::ISODate)));
        QVERIFY(F.Dialog.isVisible());
        QCOMPARE(Read_File(F.Space.File_TLS_Known_Cert), Before);

        // Yes saves the rows as they stand, texts untouched.
        F.Prompts.Answers = {Prompt_Answer::Yes};
        F.Click(QStringLiteral("Btn_OK"));
        QVERIFY(!F.Dialog.isVisible());
        QCOMPARE(Read_File(F.Space.File_TLS_Known_Cert), T::To_Bytes(F.Table()));
        Table_Model Reloaded(Check_Kind::State_Check, T::Data_Rows + 1, T::Columns);
        T::Init_Table(Reloaded);
        T::Load(F.Space.File_TLS_Known_Cert, Reloaded);
        QCOMPARE(Reloaded.Cell(2, T::Col_Certificate), Pki->Expired.Pem());
    }

    void Only_known_certificates_with_none_enabled_is_asked_about()
    {
        Known_Fixture F;
        Par_Gen::Values General = Par_Gen::Defaults();
        General[Par_Gen::TLS_Server_Enable] = QStringLiteral("1");
        General[Par_Gen::TLS_Server_Enable_Known_Cert] = QStringLiteral("1");
        QVERIFY(Par_Gen::Save(F.Space.File_ParGen, General));
        F.Open();
        F.Set_Row(1, Pki->Unrelated.Pem(), false);
        F.Click(QStringLiteral("Btn_OK"));
        QCOMPARE(F.Prompts.Texts(),
                 QStringList{QStringLiteral("Please check the list of known certificates:\n"
                                            "- \"Enable Only Known Certificates\" is checked, but no certificate of the "
                                            "list of known certificates is enabled\n\nDo you want to save anyway?")});
        QVERIFY(!QFile::exists(F.Space.File_TLS_Known_Cert));

        // With TLS off the restriction is not in force: nothing to ask.
        General[Par_Gen::TLS_Server_Enable] = QStringLiteral("0");
        QVERIFY(Par_Gen::Save(F.Space.File_ParGen, General));
        F.Prompts.Messages.clear();
        F.Click(QStringLiteral("Btn_OK"));
        QVERIFY(F.Prompts.Messages.isEmpty());
        QVERIFY(QFile::exists(F.Space.File_TLS_Known_Cert));
    }

    void Sound_rows_save_without_a_word()
    {
        Known_Fixture F;
        F.Open();
        F.Set_Row(1, Pki->Unrelated.Pem());
        F.Set_Row(2, QString(Pki->Server.Pem()).replace(u'\n', QStringLiteral("\r\n")), true, QStringLiteral("north"));
        F.Click(QStringLiteral("Btn_OK"));
        QVERIFY(F.Prompts.Messages.isEmpty());
        QVERIFY(!F.Dialog.isVisible());
        QCOMPARE(Read_File(F.Space.File_TLS_Known_Cert), T::To_Bytes(F.Table()));
    }

    void Loads_a_row_from_a_file_data()
    {
        QTest::addColumn<QString>("Name");
        QTest::addColumn<QByteArray>("Bytes");
        QTest::addColumn<QString>("Expected");  // the cell afterwards; empty: unchanged
        QTest::addColumn<QString>("Message");  // how the refusal begins
        const Test_Pki::Set& P = *Pki;
        QTest::newRow("PEM") << "client.pem" << QString(P.Server.Pem()).replace(u'\n', QStringLiteral("\r\n")).toLatin1()
                             << P.Server.Pem() << QString();
        QTest::newRow("DER") << "client.cer" << P.Unrelated.Der() << P.Unrelated.Pem() << QString();
        QTest::newRow("key") << "server.key" << P.Server_Key.Pem().toLatin1() << QString()
                             << QStringLiteral("Row 3: holds a private key; only certificates may be listed");
        QTest::newRow("not a certificate") << "readme.crt" << QByteArray("plant north, cabinet 4\n") << QString()
                                           << QStringLiteral("The file holds no key or certificate: ");
        QTest::newRow("PEM of something else")
            << "request.pem" << QByteArray("-----BEGIN CERTIFICATE REQUEST-----\nMAA=\n-----END CERTIFICATE REQUEST-----\n")
            << QString() << QStringLiteral("The file holds no key or certificate: CERTIFICATE REQUEST");
    }

    void Loads_a_row_from_a_file()
    {
        QFETCH(QString, Name);
        QFETCH(QByteArray, Bytes);
        QFETCH(QString, Expected);
        QFETCH(QString, Message);
        Known_Fixture F;
        F.Open();
        F.Set_Row(3, QStringLiteral("before"));
        F.Table().Set_Current(3, T::Col_Mnemonic);
        Write_File(F.In_Project(Name), Bytes);
        F.Open_Dialog.Answer = F.In_Project(Name);
        F.Click(QStringLiteral("Btn_LoadRow"));
        QCOMPARE(F.Open_Dialog.Requests.size(), 1);
        QCOMPARE(F.Open_Dialog.Requests[0].Patterns, (QStringList{"*.pem", "*.crt", "*.cer"}));
        QCOMPARE(F.Open_Dialog.Requests[0].Initial_Folder, F.Space.Project_Dir);
        QCOMPARE(F.Table().Cell(3, T::Col_Certificate), Expected.isEmpty() ? QStringLiteral("before") : Expected);
        if (Message.isEmpty()) {
            QVERIFY(F.Prompts.Messages.isEmpty());
        } else {
            QCOMPARE(F.Prompts.Messages.size(), 1);
            QVERIFY2(F.Prompts.Last_Text().startsWith(Message), qPrintable(F.Prompts.Last_Text()));
            // OpenSSL's reason follows.
            QVERIFY(F.Prompts.Last_Text().size() > QStringLiteral("The file holds no key or certificate: ").size());
        }
        QCOMPARE(F.Table().Cell(3, T::Col_Mnemonic), QString());

        // Cancelled, the dialog changes nothing.
        F.Open_Dialog.Answer.reset();
        F.Click(QStringLiteral("Btn_LoadRow"));
        QCOMPARE(F.Table().Cell(3, T::Col_Certificate), Expected.isEmpty() ? QStringLiteral("before") : Expected);
    }

    void Rows_show_subject_and_expiry()
    {
        Known_Fixture F;
        F.Open();
        F.Set_Row(1, Pki->Unrelated.Pem());
        F.Set_Row(2, Pki->Server.Pem());
        F.Set_Row(3, Pki->Expired.Pem());
        F.Set_Row(4, Pki->Server_Key.Pem());
        QCOMPARE(F.Grid->itemDelegateForColumn(T::Col_Certificate - 1), &F.Dialog.Certificate_Cells());
        const auto Look = [&](int Row) { return F.Dialog.Certificate_Cells().Look_Of(F.Table().Cell(Row, T::Col_Certificate)); };
        const QString Year = Pki->Now.addYears(1).date().toString(Qt::ISODate);
        QCOMPARE(Look(1).Summary, QStringLiteral("CN=stranger, valid until %1, EC 256").arg(Year));
        QVERIFY(Look(1).Summary != Look(2).Summary);
        QVERIFY(!Look(1).Marked && !Look(2).Marked);
        QVERIFY(Look(3).Summary.contains(QStringLiteral("EXPIRED on")));
        QVERIFY(Look(3).Marked);
        QVERIFY(Look(4).Marked);
        QVERIFY(Look(2).Details.contains(QStringLiteral("Issuer: CN=Plant Root CA, O=Test Plant")));
        QVERIFY(Look(2).Details.contains(QStringLiteral("SHA-256 fingerprint: ")));
        QVERIFY(Look(5).Summary.isEmpty());

        // The view paints the summary, and the tooltip of a cell tells the details.
        const QRect Cell = F.Grid->visualRect(F.Table().index(1, T::Col_Certificate - 1));
        QHelpEvent Help(QEvent::ToolTip, Cell.center(), F.Grid->viewport()->mapToGlobal(Cell.center()));
        QCoreApplication::sendEvent(F.Grid->viewport(), &Help);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), Look(2).Details);
        QToolTip::hideText();

        // A column too narrow for the summary gives it whole above the details.
        F.Grid->setColumnWidth(T::Col_Certificate - 1, 60);
        const QRect Narrow = F.Grid->visualRect(F.Table().index(1, T::Col_Certificate - 1));
        QHelpEvent Cut(QEvent::ToolTip, Narrow.center(), F.Grid->viewport()->mapToGlobal(Narrow.center()));
        QCoreApplication::sendEvent(F.Grid->viewport(), &Cut);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), Look(2).Summary + "\n\n" + Look(2).Details);
        QToolTip::hideText();
    }
};

QTEST_MAIN(Test_Known_Certificates)
#include "test_known_certificates.moc"
