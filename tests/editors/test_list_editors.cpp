#include "Editor_Fixture.h"
#include "editors/List_Files.h"
#include "editors/TFIEC61850_Variables.h"
#include "editors/TFTLS_Server_Known_Cert.h"
#include "editors/Ui_Table_View.h"
#include "support/Fixed_Separator.h"
#include "support/Test_Certificates.h"
#include "support/Test_Support.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHash>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::Write_File;
namespace V = IEC61850_Variables;

namespace {

// A certificate the list accepts without a question.
QString Real_Certificate(const QString& Name)
{
    const Test_Pki::Made_Key Key = Test_Pki::Make_Key(Test_Pki::Key_Type::EC_P256);
    const QDateTime Now = QDateTime::currentDateTimeUtc();
    return Test_Pki::Make_Certificate({Name, QStringLiteral("Plant"), &Key, nullptr, nullptr, Now.addDays(-1), Now.addYears(1)})
        .Pem();
}

template <class Dialog>
struct List_Fixture : Editor_Fixture {
    Dialog* Window = nullptr;
    Table_View* Grid = nullptr;

    void Open() { Show_Editor(*Window); }
    void Click(const QString& Button) { Click_Button(Window, Button); }
    QRect Cell_Rect(int Row, int Column) { return Grid->visualRect(Grid->model()->index(Row - 1, Column - 1)); }
    void Click_Cell(int Row, int Column)
    {
        QTest::mouseClick(Grid->viewport(), Qt::LeftButton, {}, Cell_Rect(Row, Column).center());
    }
    template <class Editor>
    Editor* Open_Editor(int Row, int Column)
    {
        // Editors closed before are gone first, so the one found is the new one.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Grid->Edit_Cell(Row, Column);
        return Find<Editor>(Grid, QStringLiteral("Cell_Editor"));
    }
    // Ends the editing the way a user does: by going to another cell.
    void Leave_Cell() { Grid->setFocus(); Grid->setCurrentIndex(Grid->model()->index(20 % Grid->model()->rowCount(), 0)); }
    void Type(QWidget* Target, const QString& Text) { QTest::keyClicks(Target, Text); }
};

struct Variables_Fixture : List_Fixture<TFIEC61850_Variables> {
    Fixed_Separator Separator{QStringLiteral(".")};
    TFIEC61850_Variables Dialog{Space, Prompts, &Separator};
    Variables_Fixture()
    {
        Window = &Dialog;
        Grid = Find<Table_View>(&Dialog, "ACG");
    }
    Table_Model& Table() { return Dialog.ACG_Model(); }
};

struct Certificates_Fixture : List_Fixture<TFTLS_Server_Known_Cert> {
    TFTLS_Server_Known_Cert Dialog{Space, Prompts};
    Certificates_Fixture()
    {
        Window = &Dialog;
        Grid = Find<Table_View>(&Dialog, "ASG");
    }
    Table_Model& Table() { return Dialog.ASG_Model(); }
};

} // namespace

class Test_List_Editors : public QObject {
    Q_OBJECT
private slots:
    void Variables_Texts_And_Empty_Table();
    void Variables_Pick_Lists_Survive_Round_Trip();
    void Variables_Validation_Keeps_Dialog_Open();
    void Variables_Row_Buttons();
    void Unknown_Pick_List_Value_Kept_When_Only_Viewed();
    void Certificates_Check_Boxes_And_Text_Survive_Round_Trip();
    void Certificates_Delete_And_Copy_Paste();
    void Cell_Editors_Keep_Every_Character();
    void Save_Failure_Keeps_Dialog_And_Edits();
    void Enter_Jumps_Only_When_Set();
    void Header_Double_Click_Sizes_Only_When_Set();
    void Click_On_Row_Number_Selects_Row();
    void Rows_After_A_Blank_Key_Are_Not_Dropped_Silently_data();
    void Rows_After_A_Blank_Key_Are_Not_Dropped_Silently();
    void Insert_Row_On_A_Full_Table_Is_Refused_data();
    void Insert_Row_On_A_Full_Table_Is_Refused();
    void Leaving_With_Changes_Asks_data();
    void Leaving_With_Changes_Asks();
    void Tables_Are_Made_For_Typing_data();
    void Tables_Are_Made_For_Typing();
    void Validation_Error_Puts_The_Focus_On_Its_Cell_data();
    void Validation_Error_Puts_The_Focus_On_Its_Cell();
    void A_Name_Twice_Is_Refused_At_The_Later_Row();
};

void Test_List_Editors::Variables_Texts_And_Empty_Table()
{
    Variables_Fixture F;
    F.Open();
    QCOMPARE(F.Dialog.windowTitle(), F.Space.Str(900));
    QCOMPARE(Find<QLabel>(&F.Dialog, "L_SW_Code")->text(), QStringLiteral("SW40610"));
    QCOMPARE(Find<QPushButton>(&F.Dialog, "Btn_PasteRow")->text(), F.Space.Str(907));
    QCOMPARE(Find<QPushButton>(&F.Dialog, "Btn_PasteRow")->toolTip(), F.Space.Str(913));
    QCOMPARE(Find<QPushButton>(&F.Dialog, "Btn_OK")->toolTip(), F.Space.Str(908));
    QCOMPARE(F.Grid->model()->rowCount(), 50);
    QCOMPARE(F.Grid->model()->columnCount(), 12);
    QCOMPARE(F.Grid->model()->headerData(6, Qt::Horizontal).toString(), F.Space.Str(932));
    QCOMPARE(F.Grid->model()->headerData(11, Qt::Horizontal).toString(), F.Space.Str(921));
    QCOMPARE(F.Grid->model()->headerData(6, Qt::Horizontal, Qt::ToolTipRole).toString(), F.Space.Str(935));
    QCOMPARE(F.Grid->model()->headerData(11, Qt::Horizontal, Qt::ToolTipRole).toString(), F.Space.Str(928));
    QCOMPARE(F.Grid->model()->headerData(3, Qt::Vertical).toString(), QStringLiteral("4"));
    QCOMPARE(F.Dialog.Hint_List.size(), 12);
    QCOMPARE(F.Grid->model()->data(F.Grid->model()->index(3, 0), Qt::ToolTipRole), QVariant());
    QCOMPARE(F.Dialog.NByte_IN, 1438);
    QCOMPARE(F.Grid->model()->data(F.Grid->model()->index(49, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    // Row 1 empty: OK writes a root without rows.
    F.Click("Btn_OK");
    QVERIFY(F.Prompts.Messages.isEmpty());
    QCOMPARE(Read_File(F.Space.File_IEC61850_Variables), QByteArray("<IEC61850_Variables/><!--SW_VERSION = 1.000-->"));
}

void Test_List_Editors::Variables_Pick_Lists_Survive_Round_Trip()
{
    Variables_Fixture F;
    F.Open();
    auto* Name = F.Open_Editor<QLineEdit>(1, V::Col_Name);
    Name->selectAll();
    F.Type(Name, "Temperature & <");
    Name->insert(QStringLiteral("Ω>"));
    F.Leave_Cell();

    auto* Type = F.Open_Editor<QComboBox>(1, V::Col_Type);
    QVERIFY(!Type->isEditable());
    QCOMPARE(Type->currentText(), QString());
    QStringList Items;
    for (int I = 0; I < Type->count(); ++I)
        Items << Type->itemText(I);
    QCOMPARE(Items, (QStringList{"Int", "Float", "Digital (Bit)"}));
    Type->setCurrentIndex(2);
    emit Type->activated(2);
    QVERIFY(!F.Grid->findChild<QComboBox*>("Cell_Editor") || !F.Grid->findChild<QComboBox*>("Cell_Editor")->isVisible());
    QCOMPARE(F.Table().Cell(1, V::Col_Type), QStringLiteral("Digital (Bit)"));

    auto* Bit = F.Open_Editor<QComboBox>(1, V::Col_StartBit);
    QCOMPARE(Bit->count(), 8);
    QCOMPARE(Bit->itemText(7), QStringLiteral("7"));
    Bit->setCurrentIndex(3);
    emit Bit->activated(3);

    auto* Conversion = F.Open_Editor<QComboBox>(1, V::Col_Conversion);
    QCOMPARE(Conversion->itemText(1), QStringLiteral("Int to Float"));
    Conversion->setCurrentIndex(2);
    emit Conversion->activated(2);

    auto* Factor = F.Open_Editor<QComboBox>(1, V::Col_MultiplicationFactor);
    QVERIFY(Factor->isEditable());
    QCOMPARE(Factor->itemText(0), QStringLiteral("None"));
    Factor->lineEdit()->selectAll();
    F.Type(Factor->lineEdit(), "0,25");
    F.Leave_Cell();
    QCOMPARE(F.Table().Cell(1, V::Col_MultiplicationFactor), QStringLiteral("0,25"));

    for (const auto& [Column, Text] : {std::pair{V::Col_Length, "1"}, std::pair{V::Col_Position, "1437"}}) {
        auto* Edit = F.Open_Editor<QLineEdit>(1, Column);
        F.Type(Edit, Text);
        F.Leave_Cell();
    }
    // Check boxes kept as text: a click on the box toggles Y / N.
    const QRect Swap = F.Cell_Rect(1, V::Col_Swap);
    QTest::mouseClick(F.Grid->viewport(), Qt::LeftButton, {}, Swap.center());
    QCOMPARE(F.Table().Cell(1, V::Col_Swap), QStringLiteral("Y"));
    QTest::mouseClick(F.Grid->viewport(), Qt::LeftButton, {}, F.Cell_Rect(1, V::Col_Enable).center());
    QCOMPARE(F.Table().Cell(1, V::Col_Enable), QStringLiteral("N"));
    QTest::mouseClick(F.Grid->viewport(), Qt::LeftButton, {}, F.Cell_Rect(1, V::Col_Enable).center());
    QCOMPARE(F.Table().Cell(1, V::Col_Enable), QStringLiteral("Y"));

    F.Click("Btn_OK");
    QVERIFY2(F.Prompts.Messages.isEmpty(), qPrintable(F.Prompts.Last_Text()));
    QVERIFY(!F.Dialog.isVisible());

    F.Table().Set_Cell(1, V::Col_Type, QString());
    F.Open();
    const QStringList Expected{"Y",  "Temperature & <Ω>", "Digital (Bit)", "1", "", "1437", "3", "Float to Int",
                               "0,25", "Y", "", ""};
    for (int Column = 1; Column <= 12; ++Column)
        QCOMPARE(F.Table().Cell(1, Column), Expected[Column - 1]);
}

void Test_List_Editors::Variables_Validation_Keeps_Dialog_Open()
{
    Variables_Fixture F;
    Write_File(F.Space.File_IEC61850_Variables,
               "<IEC61850_Variables><row Enable=\"Y\" Name=\"A\" Type=\"Int\" Length=\"4\" Position=\"0\" "
               "Conversion=\"None\" MultiplicationFactor=\"None\"/><row Enable=\"N\" Name=\"B\" Length=\"9\"/>"
               "</IEC61850_Variables>");
    F.Open();
    QCOMPARE(F.Table().Cell(2, V::Col_Length), QStringLiteral("9"));
    F.Click("Btn_OK");
    QVERIFY(F.Prompts.Messages.isEmpty());
    const QByteArray Saved = Read_File(F.Space.File_IEC61850_Variables);

    F.Open();
    QTest::mouseClick(F.Grid->viewport(), Qt::LeftButton, {}, F.Cell_Rect(2, V::Col_Enable).center());
    F.Click("Btn_OK");
    QCOMPARE(F.Prompts.Texts(), QStringList{F.Space.Str(929) + "2" + F.Space.Str(941)});
    QCOMPARE(F.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QVERIFY(F.Dialog.isVisible());
    QCOMPARE(F.Table().Cell(2, V::Col_Enable), QStringLiteral("Y"));
    QCOMPARE(Read_File(F.Space.File_IEC61850_Variables), Saved);
}

void Test_List_Editors::Variables_Row_Buttons()
{
    Variables_Fixture F;
    F.Open();
    for (int Row = 1; Row <= 3; ++Row)
        F.Table().Set_Cell(Row, V::Col_Name, QStringLiteral("V%1").arg(Row));
    F.Click_Cell(2, V::Col_Name);
    QCOMPARE(F.Table().Current_Row(), 2);

    F.Click("Btn_PasteRow");  // no copy in this showing
    QCOMPARE(F.Prompts.Last_Text(), F.Space.Str(1102));

    F.Click("Btn_DelRow");
    QCOMPARE(F.Prompts.Last_Text(), F.Space.Str(931) + "2");
    QCOMPARE(F.Table().Cell(2, V::Col_Name), QStringLiteral("V2"));
    F.Prompts.Answers = {Prompt_Answer::Yes};
    F.Click("Btn_DelRow");
    QCOMPARE(F.Table().Cell(2, V::Col_Name), QStringLiteral("V3"));
    QCOMPARE(F.Table().Cell(50, V::Col_Enable), QString());

    F.Click("Btn_InsRow");
    QCOMPARE(F.Table().Cell(2, V::Col_Name), QString());
    QCOMPARE(F.Table().Cell(2, V::Col_Enable), QStringLiteral("Y"));
    QCOMPARE(F.Table().Cell(3, V::Col_Name), QStringLiteral("V3"));

    F.Click_Cell(1, V::Col_Name);
    F.Click("Btn_CopyRow");
    QVERIFY(F.Dialog.Do_Copy);
    F.Click_Cell(2, V::Col_Mnemonic);
    const int Before = int(F.Prompts.Messages.size());
    F.Click("Btn_PasteRow");
    QCOMPARE(int(F.Prompts.Messages.size()), Before);  // only "Y" in the row: no question
    QCOMPARE(F.Table().Cell(2, V::Col_Name), QStringLiteral("V1"));

    // A new showing forgets the copy.
    F.Dialog.hide();
    F.Open();
    QVERIFY(!F.Dialog.Do_Copy);
    F.Click("Btn_PasteRow");
    QCOMPARE(F.Prompts.Last_Text(), F.Space.Str(1102));
}

void Test_List_Editors::Unknown_Pick_List_Value_Kept_When_Only_Viewed()
{
    Variables_Fixture F;
    Write_File(F.Space.File_IEC61850_Variables, "<IEC61850_Variables><row Name=\"A\" Type=\"int32\"/></IEC61850_Variables>");
    F.Open();
    auto* Type = F.Open_Editor<QComboBox>(1, V::Col_Type);
    QCOMPARE(Type->currentText(), QStringLiteral("int32"));
    F.Leave_Cell();
    QCOMPARE(F.Table().Cell(1, V::Col_Type), QStringLiteral("int32"));
    auto* Conversion = F.Open_Editor<QComboBox>(1, V::Col_Conversion);
    QCOMPARE(Conversion->currentText(), QString());
    F.Leave_Cell();
    QCOMPARE(F.Table().Cell(1, V::Col_Conversion), QString());
}

void Test_List_Editors::Certificates_Check_Boxes_And_Text_Survive_Round_Trip()
{
    Certificates_Fixture F;
    F.Open();
    QCOMPARE(F.Dialog.windowTitle(), F.Space.Str(800));
    QCOMPARE(F.Grid->model()->rowCount(), 10);
    QCOMPARE(F.Grid->model()->headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(), F.Space.Str(819));
    for (int Row = 1; Row <= 10; ++Row)
        QVERIFY(F.Table().Checked(Row, 1));

    auto* Certificate = F.Open_Editor<QPlainTextEdit>(1, 2);
    QVERIFY(Certificate->height() > F.Cell_Rect(1, 2).height() * 4);
    F.Type(Certificate, "-----BEGIN CERTIFICATE-----");
    QTest::keyClick(Certificate, Qt::Key_Return);
    F.Type(Certificate, "MIIBszCCAV2gAwIBAgIU");
    QTest::keyClick(Certificate, Qt::Key_Return);
    F.Type(Certificate, "-----END CERTIFICATE-----");
    F.Leave_Cell();
    const QString Expected = "-----BEGIN CERTIFICATE-----\nMIIBszCCAV2gAwIBAgIU\n-----END CERTIFICATE-----";
    QCOMPARE(F.Table().Cell(1, 2), Expected);
    const QString Shown = F.Grid->model()->data(F.Grid->model()->index(0, 1), Qt::DisplayRole).toString();
    QVERIFY(!Shown.contains('\n'));
    QVERIFY(Shown.startsWith("-----BEGIN CERTIFICATE-----"));

    // Only real certificates are saved: the typed one stands in for the cell editor alone.
    const QString First = Real_Certificate(QStringLiteral("first"));
    const QString Second = Real_Certificate(QStringLiteral("second"));
    F.Table().Set_Cell(1, 2, First);
    F.Table().Set_Cell(2, 2, Second);
    QTest::mouseClick(F.Grid->viewport(), Qt::LeftButton, {}, F.Cell_Rect(2, 1).center());
    QVERIFY(!F.Table().Checked(2, 1));
    F.Click("Btn_OK");
    QVERIFY2(F.Prompts.Messages.isEmpty(), qPrintable(F.Prompts.Last_Text()));
    QVERIFY(!F.Dialog.isVisible());
    QVERIFY(Read_File(F.Space.File_TLS_Known_Cert).contains("<row Enable=\"N\" Certificate=\"-----BEGIN CERTIFICATE-----"));

    F.Open();
    QCOMPARE(F.Table().Cell(1, 2), First);
    QCOMPARE(F.Table().Cell(2, 2), Second);
    QVERIFY(F.Table().Checked(1, 1));
    QVERIFY(!F.Table().Checked(2, 1));
    QVERIFY(F.Table().Checked(3, 1));
    // Opening the certificate and leaving it unchanged keeps it exactly.
    F.Table().Set_Cell(3, 2, QStringLiteral("a\r\nb"));
    F.Open_Editor<QPlainTextEdit>(3, 2);
    F.Leave_Cell();
    QCOMPARE(F.Table().Cell(3, 2), QStringLiteral("a\r\nb"));
}

void Test_List_Editors::Certificates_Delete_And_Copy_Paste()
{
    Certificates_Fixture F;
    F.Open();
    for (int Row = 1; Row <= 10; ++Row)
        F.Table().Set_Cell(Row, 2, QStringLiteral("C%1").arg(Row));
    F.Table().Set_Check(4, 1, false);
    F.Click_Cell(4, 3);
    F.Click("Btn_CopyRow");
    QCOMPARE(F.Space.Row_Clipboard.first(), QStringLiteral("N"));
    F.Click_Cell(7, 3);
    F.Prompts.Answers = {Prompt_Answer::Yes};
    F.Click("Btn_PasteRow");
    QCOMPARE(F.Prompts.Texts(), QStringList{F.Space.Str(1100)});
    QVERIFY(!F.Table().Checked(7, 1));
    QCOMPARE(F.Table().Cell(7, 2), QStringLiteral("C4"));

    F.Click_Cell(3, 3);
    F.Prompts.Answers = {Prompt_Answer::Yes};
    F.Click("Btn_DelRow");
    QCOMPARE(F.Prompts.Last_Text(), F.Space.Str(821) + "3");
    QCOMPARE(F.Table().Cell(3, 2), QStringLiteral("C4"));
    QVERIFY(!F.Table().Checked(3, 1));
    QCOMPARE(F.Table().Cell(10, 2), QString());
    QVERIFY(F.Table().Checked(10, 1));
}

void Test_List_Editors::Cell_Editors_Keep_Every_Character()
{
    Certificates_Fixture F;
    F.Open();
    // A non-breaking space typed into a certificate stays one.
    F.Table().Set_Cell(1, 2, QStringLiteral("A\u00A0B\nC"));
    auto* Certificate = F.Open_Editor<QPlainTextEdit>(1, 2);
    Certificate->moveCursor(QTextCursor::End);
    F.Type(Certificate, "D");
    F.Leave_Cell();
    QCOMPARE(F.Table().Cell(1, 2), QStringLiteral("A\u00A0B\nCD"));

    // A description longer than a line edit's default limit is edited whole.
    const QString Long(40000, QChar('m'));
    F.Table().Set_Cell(2, 3, Long);
    auto* Mnemonic = F.Open_Editor<QLineEdit>(2, 3);
    Mnemonic->end(false);
    F.Type(Mnemonic, "x");
    F.Leave_Cell();
    QCOMPARE(F.Table().Cell(2, 3), Long + "x");
}

void Test_List_Editors::Save_Failure_Keeps_Dialog_And_Edits()
{
    Certificates_Fixture F;
    Variables_Fixture G;
    F.Open();
    G.Open();
    const QString Certificate = Real_Certificate(QStringLiteral("cert"));
    F.Table().Set_Cell(1, 2, Certificate);
    G.Table().Set_Cell(1, V::Col_Name, QStringLiteral("var"));
    G.Table().Set_Cell(1, V::Col_Enable, QStringLiteral("N"));
    QVERIFY(QDir(F.Space.Project_Dir).removeRecursively());
    QVERIFY(QDir(G.Space.Project_Dir).removeRecursively());
    F.Click("Btn_OK");
    G.Click("Btn_OK");
    for (Scripted_Prompter* Prompts : {&F.Prompts, &G.Prompts}) {
        QCOMPARE(Prompts->Messages.size(), 1);
        QCOMPARE(Prompts->Messages[0].Kind, Prompt_Kind::Error);
        QVERIFY(Prompts->Last_Text().contains(": "));
    }
    QVERIFY(F.Prompts.Last_Text().startsWith(QDir::toNativeSeparators(F.Space.File_TLS_Known_Cert)));
    QVERIFY(F.Dialog.isVisible());
    QVERIFY(G.Dialog.isVisible());
    QCOMPARE(F.Table().Cell(1, 2), Certificate);
    QCOMPARE(G.Table().Cell(1, V::Col_Name), QStringLiteral("var"));
}

void Test_List_Editors::Enter_Jumps_Only_When_Set()
{
    Variables_Fixture F;
    F.Open();
    F.Click_Cell(3, 12);
    QTest::keyClick(F.Grid, Qt::Key_Return);
    QCOMPARE(F.Table().Current_Row(), 3);
    QCOMPARE(F.Table().Current_Column(), 12);

    F.Space.Enable_Jump_Field_Tables = true;
    QTest::keyClick(F.Grid, Qt::Key_Return);
    QCOMPARE(F.Table().Current_Row(), 4);
    QCOMPARE(F.Table().Current_Column(), 1);
    QCOMPARE(F.Grid->currentIndex(), F.Grid->model()->index(3, 0));

    // Enter ending a cell's editing moves on as well.
    auto* Name = F.Open_Editor<QLineEdit>(4, V::Col_Name);
    F.Type(Name, "Pressure");
    QTest::keyClick(Name, Qt::Key_Return);
    QCOMPARE(F.Table().Cell(4, V::Col_Name), QStringLiteral("Pressure"));
    QCOMPARE(F.Table().Current_Column(), V::Col_Type);
}

void Test_List_Editors::Header_Double_Click_Sizes_Only_When_Set()
{
    Variables_Fixture F;
    F.Open();
    F.Table().Set_Cell(1, V::Col_Mnemonic, QString(120, QChar('W')));
    QHeaderView* Header = F.Grid->horizontalHeader();
    const int Section = V::Col_Mnemonic - 1;
    const int Width = F.Grid->columnWidth(Section);
    const QPoint In_Header(Header->sectionViewportPosition(Section) + Width / 2, Header->height() / 2);
    QTest::mouseDClick(Header->viewport(), Qt::LeftButton, {}, In_Header);
    QCOMPARE(F.Grid->columnWidth(Section), Width);

    F.Space.Double_Click_Auto_Size = true;
    QTest::mouseDClick(F.Grid->viewport(), Qt::LeftButton, {}, F.Cell_Rect(2, V::Col_Mnemonic).center());
    QCOMPARE(F.Grid->columnWidth(Section), Width);
    QTest::mouseDClick(Header->viewport(), Qt::LeftButton, {}, In_Header);
    QVERIFY(F.Grid->columnWidth(Section) > Width);
}

void Test_List_Editors::Click_On_Row_Number_Selects_Row()
{
    Certificates_Fixture F;
    F.Open();
    QHeaderView* Numbers = F.Grid->verticalHeader();
    QTest::mouseClick(Numbers->viewport(), Qt::LeftButton, {},
                      QPoint(Numbers->width() / 2, Numbers->sectionViewportPosition(4) + 5));
    QCOMPARE(F.Table().Current_Row(), 5);
    QVERIFY(F.Grid->selectionModel()->isRowSelected(4, {}));
}

namespace {

// One editor seen through what the tests below need of it.
struct Any_Editor {
    List_Editor& Dialog;
    Table_Model& Table;
    Table_View* Grid;
    Scripted_Prompter& Prompts;
    Workspace& Space;
    QString File;
    int Key;
    int Mnemonic;
    QString Root;

    void Open() { Show_Editor(Dialog); }
    void Click(const QString& Button) { Click_Button(&Dialog, Button); }
    // "V" names a row with a key, "~m" leaves the key blank and puts m in the
    // description, "" leaves the row as loaded. Rows with a key are disabled
    // variables, so that no validation stands in the way.
    void Fill(const QStringList& Rows)
    {
        for (int Row = 1; Row <= Rows.size(); ++Row) {
            const QString& Entry = Rows[Row - 1];
            if (Entry.startsWith('~')) {
                Table.Set_Cell(Row, Mnemonic, Entry.mid(1));
            } else if (!Entry.isEmpty()) {
                Table.Set_Cell(Row, Key, Entry);
                if (Table.Kind() == Check_Kind::Text_Check)
                    Table.Set_Cell(Row, 1, QStringLiteral("N"));
            }
        }
    }
    // The bytes a save of exactly these keyed rows writes.
    QByteArray Expected_File(const QStringList& Keys) const
    {
        QByteArray Bytes = "<" + Root.toUtf8() + ">";
        for (const QString& Name : Keys) {
            if (Table.Kind() == Check_Kind::Text_Check)
                Bytes += "<row Enable=\"N\" Name=\"" + Name.toUtf8()
                         + "\" Type=\"\" Length=\"\" ReadOnly=\"\" Position=\"\" StartBit=\"\" Conversion=\"\" "
                           "MultiplicationFactor=\"\" Swap=\"\" SwapWord=\"\" Mnemonic=\"\"/>";
            else
                Bytes += "<row Enable=\"Y\" Certificate=\"" + Name.toUtf8().replace("\n", "&#10;") + "\" Mnemonic=\"\"/>";
        }
        if (Keys.isEmpty())
            Bytes.insert(Bytes.size() - 1, "/");
        else
            Bytes += "</" + Root.toUtf8() + ">";
        return Bytes + "<!--SW_VERSION = 1.000-->";
    }
};

// Both editors, built fresh for each row of a data table.
struct Both_Editors {
    Variables_Fixture V_F;
    Certificates_Fixture C_F;
    Any_Editor Variables{V_F.Dialog,   V_F.Table(),  V_F.Grid,        V_F.Prompts,
                         V_F.Space,    V_F.Space.File_IEC61850_Variables, V::Col_Name, V::Col_Mnemonic,
                         QStringLiteral("IEC61850_Variables")};
    Any_Editor Certificates{C_F.Dialog, C_F.Table(), C_F.Grid, C_F.Prompts, C_F.Space, C_F.Space.File_TLS_Known_Cert,
                            TLS_Known_Cert::Col_Certificate, TLS_Known_Cert::Col_Mnemonic,
                            QStringLiteral("TLS_Server_Known_Cert")};
    Any_Editor& Pick(bool Certificates_Wanted) { return Certificates_Wanted ? Certificates : Variables; }
};

// Types as a user does: each key goes to whatever has the focus at that moment.
void Type_Into_Focus(const QString& Text)
{
    for (const QChar Letter : Text)
        QTest::keyClick(QApplication::focusWidget(), Letter.toLatin1());
}

QStringList Keys(int From, int To)
{
    QStringList List;
    for (int I = From; I <= To; ++I)
        List << QStringLiteral("R%1").arg(I);
    return List;
}

} // namespace

namespace {

// The certificates list refuses a row that is not one certificate, so its keys are real ones,
// made once per name so that the saved file can be compared.
QStringList With_Real_Certificates(const QStringList& Rows)
{
    static QHash<QString, QString> Made;
    QStringList Out;
    for (const QString& Row : Rows) {
        if (Row.startsWith(QLatin1Char('R'))) {
            if (!Made.contains(Row))
                Made.insert(Row, Real_Certificate(Row));
            Out << Made.value(Row);
        } else {
            Out << Row;
        }
    }
    return Out;
}

} // namespace

void Test_List_Editors::Rows_After_A_Blank_Key_Are_Not_Dropped_Silently_data()
{
    QTest::addColumn<bool>("Certificates");
    QTest::addColumn<QStringList>("Rows");
    QTest::addColumn<int>("Insert_At");  // 0: no Insert Row before OK
    QTest::addColumn<int>("Empty_Row");  // 0: no question expected
    QTest::addColumn<int>("Dropped");
    QTest::addColumn<QStringList>("Saved_On_Yes");

    for (const bool Certificates : {false, true}) {
        const char* Which = Certificates ? "certificates: " : "variables: ";
        const int Full = Certificates ? 10 : 50;
        QTest::addRow("%scontiguous", Which) << Certificates << Keys(1, 3) << 0 << 0 << 0 << Keys(1, 3);
        QTest::addRow("%sgap at row 2", Which)
            << Certificates << (QStringList{"R1", "", "R3", "R4"}) << 0 << 2 << 2 << Keys(1, 1);
        QTest::addRow("%sinsert at row 3 of a list, then OK", Which)
            << Certificates << Keys(1, Full - 1) << 3 << 3 << Full - 3 << Keys(1, 2);
        QTest::addRow("%sonly a description after the gap", Which)
            << Certificates << (QStringList{"R1", "", "", "~note"}) << 0 << 2 << 1 << Keys(1, 1);
        QTest::addRow("%sdescription in the row without key", Which)
            << Certificates << (QStringList{"R1", "~orphan"}) << 0 << 2 << 1 << Keys(1, 1);
        QTest::addRow("%sblank key, nothing after it", Which)
            << Certificates << (QStringList{"R1", "   "}) << 0 << 0 << 0 << Keys(1, 1);
        QTest::addRow("%sgap in row 1", Which) << Certificates << (QStringList{"", "R2"}) << 0 << 1 << 1 << QStringList();
    }
}

void Test_List_Editors::Rows_After_A_Blank_Key_Are_Not_Dropped_Silently()
{
    QFETCH(bool, Certificates);
    QFETCH(QStringList, Rows);
    QFETCH(int, Insert_At);
    QFETCH(int, Empty_Row);
    QFETCH(int, Dropped);
    QFETCH(QStringList, Saved_On_Yes);
    if (Certificates) {
        Rows = With_Real_Certificates(Rows);
        Saved_On_Yes = With_Real_Certificates(Saved_On_Yes);
    }

    for (const Prompt_Answer Answer : {Prompt_Answer::No, Prompt_Answer::Yes}) {
        Both_Editors Both;
        Any_Editor& E = Both.Pick(Certificates);
        E.Open();
        E.Fill(Rows);
        if (Insert_At) {
            E.Grid->setCurrentIndex(E.Table.index(Insert_At - 1, 2));
            E.Click("Btn_InsRow");
            QVERIFY(E.Prompts.Messages.isEmpty());
        }
        E.Prompts.Answers = {Answer};
        E.Click("Btn_OK");
        if (Empty_Row == 0) {
            QVERIFY2(E.Prompts.Messages.isEmpty(), qPrintable(E.Prompts.Last_Text()));
            QCOMPARE(Read_File(E.File), E.Expected_File(Saved_On_Yes));
            break;
        }
        QCOMPARE(E.Prompts.Messages.size(), 1);
        QCOMPARE(E.Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
        QCOMPARE(E.Prompts.Last_Text(), E.Space.Str(1121)
                                            .arg(Empty_Row)
                                            .arg(E.Table.Cell(0, E.Key))
                                            .arg(Dropped));
        if (Answer == Prompt_Answer::No) {
            QVERIFY(E.Dialog.isVisible());
            QVERIFY(!QFileInfo::exists(E.File));
            QCOMPARE(E.Table.Current_Row(), Empty_Row);
            QCOMPARE(E.Table.Current_Column(), E.Key);
            QCOMPARE(QApplication::focusWidget(), E.Grid);
        } else {
            QVERIFY(!E.Dialog.isVisible());
            QCOMPARE(Read_File(E.File), E.Expected_File(Saved_On_Yes));
        }
    }
}

void Test_List_Editors::Insert_Row_On_A_Full_Table_Is_Refused_data()
{
    QTest::addColumn<bool>("Certificates");
    QTest::addColumn<QStringList>("Rows");
    QTest::addColumn<bool>("Refused");
    QTest::newRow("variables, 50 named rows") << false << Keys(1, 50) << true;
    QTest::newRow("variables, only a description in row 50")
        << false << (QStringList(49, QString()) << "~last") << true;
    QTest::newRow("variables, 49 rows") << false << Keys(1, 49) << false;
    QTest::newRow("certificates, 10 rows") << true << Keys(1, 10) << true;
    QTest::newRow("certificates, 9 rows") << true << Keys(1, 9) << false;
}

void Test_List_Editors::Insert_Row_On_A_Full_Table_Is_Refused()
{
    QFETCH(bool, Certificates);
    QFETCH(QStringList, Rows);
    QFETCH(bool, Refused);
    Both_Editors Both;
    Any_Editor& E = Both.Pick(Certificates);
    E.Open();
    E.Fill(Rows);
    const int Last = E.Table.Row_Count() - 1;
    const QString Last_Key = E.Table.Cell(Last, E.Key);
    const QString Last_Note = E.Table.Cell(Last, E.Mnemonic);
    E.Grid->setCurrentIndex(E.Table.index(2, 1));
    E.Click("Btn_InsRow");
    if (Refused) {
        QCOMPARE(E.Prompts.Texts(), QStringList{E.Space.Str(1120).arg(Last)});
        QCOMPARE(E.Prompts.Messages[0].Kind, Prompt_Kind::Warning);
        QCOMPARE(E.Table.Cell(3, E.Key), Rows[2]);
        QCOMPARE(E.Table.Cell(Last, E.Key), Last_Key);
        QCOMPARE(E.Table.Cell(Last, E.Mnemonic), Last_Note);
    } else {
        QVERIFY(E.Prompts.Messages.isEmpty());
        QCOMPARE(E.Table.Cell(3, E.Key), QString());
        QCOMPARE(E.Table.Cell(4, E.Key), Rows[2]);
    }
}

void Test_List_Editors::Leaving_With_Changes_Asks_data()
{
    QTest::addColumn<bool>("Certificates");
    QTest::addColumn<int>("Way");  // 0 Cancel button, 1 Escape, 2 title-bar close
    const char* Ways[] = {"Cancel", "Escape", "title-bar close"};
    for (const bool Certificates : {false, true})
        for (int Way = 0; Way < 3; ++Way)
            QTest::addRow("%s, %s", Certificates ? "certificates" : "variables", Ways[Way]) << Certificates << Way;
}

void Test_List_Editors::Leaving_With_Changes_Asks()
{
    QFETCH(bool, Certificates);
    QFETCH(int, Way);
    Both_Editors Both;
    Any_Editor& E = Both.Pick(Certificates);
    const auto Leave = [&] {
        if (Way == 0)
            E.Click("Btn_Cancel");
        else if (Way == 1)
            QTest::keyClick(E.Grid, Qt::Key_Escape);
        else
            E.Dialog.close();
    };
    // Unchanged: no question. Opening a cell editor and leaving it changes nothing.
    E.Open();
    E.Grid->Edit_Cell(1, E.Mnemonic);
    E.Grid->setFocus();
    E.Grid->setCurrentIndex(E.Table.index(4, 0));
    Leave();
    QVERIFY(E.Prompts.Messages.isEmpty());
    QVERIFY(!E.Dialog.isVisible());

    E.Open();
    E.Grid->setCurrentIndex(E.Table.index(0, E.Key - 1));
    Type_Into_Focus("typed");
    E.Grid->setFocus();
    E.Grid->setCurrentIndex(E.Table.index(4, 0));
    QCOMPARE(E.Table.Cell(1, E.Key), QStringLiteral("typed"));
    E.Prompts.Answers = {Prompt_Answer::No};
    Leave();
    QCOMPARE(E.Prompts.Texts(), QStringList{E.Space.Str(441)});
    QCOMPARE(E.Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
    QVERIFY(E.Dialog.isVisible());
    QCOMPARE(E.Table.Cell(1, E.Key), QStringLiteral("typed"));

    E.Prompts.Answers = {Prompt_Answer::Yes};
    Leave();
    QVERIFY(!E.Dialog.isVisible());
    QCOMPARE(E.Dialog.result(), int(QDialog::Rejected));
    QVERIFY(!QFileInfo::exists(E.File));

    // A row deletion is a change too, and its own question defaults to No.
    Write_File(E.File, E.Expected_File({"R1", "R2"}));
    E.Open();
    E.Prompts.Messages.clear();
    E.Prompts.Answers = {Prompt_Answer::Yes};
    E.Click("Btn_DelRow");
    QCOMPARE(E.Prompts.Messages[0].Buttons, Prompt_Buttons::Yes_No_Default_No);
    E.Prompts.Answers = {Prompt_Answer::No};
    Leave();
    QCOMPARE(E.Prompts.Messages.size(), 2);
    QVERIFY(E.Dialog.isVisible());
}

void Test_List_Editors::Tables_Are_Made_For_Typing_data()
{
    QTest::addColumn<bool>("Certificates");
    QTest::newRow("variables") << false;
    QTest::newRow("certificates") << true;
}

void Test_List_Editors::Tables_Are_Made_For_Typing()
{
    QFETCH(bool, Certificates);
    Both_Editors Both;
    Any_Editor& E = Both.Pick(Certificates);
    E.Open();
    const auto Current = [&] { return std::pair{E.Table.Current_Row(), E.Table.Current_Column()}; };

    // Tab walks the cells, the check-box column included, and wraps to the next row.
    E.Grid->setCurrentIndex(E.Table.index(1, 0));
    QTest::keyClick(E.Grid, Qt::Key_Tab);
    QCOMPARE(Current(), std::pair(2, 2));
    QTest::keyClick(E.Grid, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(Current(), std::pair(2, 1));
    QTest::keyClick(E.Grid, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(Current(), std::pair(1, E.Table.Visible_Column_Count() - 1));
    QCOMPARE(QApplication::focusWidget(), E.Grid);
    // The check box under the cursor is worked with the space bar.
    E.Grid->setCurrentIndex(E.Table.index(1, 0));
    const QVariant Before = E.Table.data(E.Table.index(1, 0), Qt::CheckStateRole);
    QTest::keyClick(E.Grid, Qt::Key_Space);
    QVERIFY(E.Table.data(E.Table.index(1, 0), Qt::CheckStateRole) != Before);

    // Ctrl+Tab leaves the table for the row buttons, Ctrl+Shift+Tab goes back before it.
    QTest::keyClick(E.Grid, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), Find<QPushButton>(&E.Dialog, "Btn_DelRow"));
    QCOMPARE(Current(), std::pair(2, 1));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), E.Grid);
    QTest::keyClick(E.Grid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), Find<QPushButton>(&E.Dialog, "Btn_Cancel"));

    // Typing on a selected cell replaces its text.
    E.Table.Set_Cell(3, E.Mnemonic, QStringLiteral("old"));
    E.Grid->setFocus();
    E.Grid->setCurrentIndex(E.Table.index(2, E.Mnemonic - 1));
    Type_Into_Focus("new");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(E.Table.Cell(3, E.Mnemonic), QStringLiteral("new"));
    QCOMPARE(QApplication::focusWidget(), E.Grid);

    // Ctrl+C and Ctrl+V copy one cell whole, line breaks included.
    const QString Text = QStringLiteral("-----BEGIN CERTIFICATE-----\nMIIB\n-----END CERTIFICATE-----");
    E.Table.Set_Cell(4, E.Key, Text);
    E.Grid->setCurrentIndex(E.Table.index(3, E.Key - 1));
    QTest::keyClick(E.Grid, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), Text);
    E.Grid->setCurrentIndex(E.Table.index(6, E.Key - 1));
    QTest::keyClick(E.Grid, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(E.Table.Cell(7, E.Key), Text);
    // A check box copies as Y or N and takes only those.
    E.Grid->setCurrentIndex(E.Table.index(1, 0));
    QTest::keyClick(E.Grid, Qt::Key_C, Qt::ControlModifier);
    const QString Box = QGuiApplication::clipboard()->text();
    QVERIFY(Box == "Y" || Box == "N");
    E.Grid->setCurrentIndex(E.Table.index(8, 0));
    QTest::keyClick(E.Grid, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(E.Table.data(E.Table.index(8, 0), Qt::CheckStateRole), E.Table.data(E.Table.index(1, 0), Qt::CheckStateRole));
    QGuiApplication::clipboard()->setText(QStringLiteral("maybe"));
    const QVariant Kept = E.Table.data(E.Table.index(8, 0), Qt::CheckStateRole);
    QTest::keyClick(E.Grid, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(E.Table.data(E.Table.index(8, 0), Qt::CheckStateRole), Kept);
}

void Test_List_Editors::Validation_Error_Puts_The_Focus_On_Its_Cell_data()
{
    QTest::addColumn<QString>("Row_2");  // attributes of row 2; row 1 is valid
    QTest::addColumn<int>("Column");
    QTest::newRow("length") << QString("Length=\"9\"") << int(V::Col_Length);
    QTest::newRow("position") << QString("Length=\"4\" Position=\"1438\"") << int(V::Col_Position);
    QTest::newRow("start bit") << QString("Type=\"Digital (Bit)\" Length=\"1\" Position=\"0\"") << int(V::Col_StartBit);
    QTest::newRow("conversion") << QString("Length=\"4\" Position=\"0\"") << int(V::Col_Conversion);
    QTest::newRow("factor") << QString("Length=\"4\" Position=\"0\" Conversion=\"None\" MultiplicationFactor=\"x\"")
                            << int(V::Col_MultiplicationFactor);
    // Values no editor writes, from a hand edit.
    QTest::newRow("type") << QString("Type=\"Flaot\" Length=\"4\" Position=\"0\" Conversion=\"None\" MultiplicationFactor=\"None\"") << int(V::Col_Type);
    QTest::newRow("conversion no editor writes")
        << QString("Type=\"Int\" Length=\"4\" Position=\"0\" Conversion=\"Nope\" MultiplicationFactor=\"None\"") << int(V::Col_Conversion);
}

void Test_List_Editors::Validation_Error_Puts_The_Focus_On_Its_Cell()
{
    QFETCH(QString, Row_2);
    QFETCH(int, Column);
    Variables_Fixture F;
    Write_File(F.Space.File_IEC61850_Variables,
               "<IEC61850_Variables><row Name=\"A\" Type=\"Int\" Length=\"4\" Position=\"0\" Conversion=\"None\" "
               "MultiplicationFactor=\"None\"/><row Name=\"B\" "
                   + Row_2.toUtf8() + "/></IEC61850_Variables>");
    F.Open();
    Find<QPushButton>(&F.Dialog, "Btn_OK")->setFocus();
    F.Click("Btn_OK");
    QCOMPARE(F.Prompts.Messages.size(), 1);
    QVERIFY(F.Prompts.Last_Text().startsWith(F.Space.Str(929) + "2"));
    QCOMPARE(F.Table().Current_Row(), 2);
    QCOMPARE(F.Table().Current_Column(), Column);
    QCOMPARE(QApplication::focusWidget(), F.Grid);
    QCOMPARE(F.Grid->currentIndex(), F.Grid->model()->index(1, Column - 1));
}

void Test_List_Editors::A_Name_Twice_Is_Refused_At_The_Later_Row()
{
    Variables_Fixture F;
    const QByteArray Row = "<row Name=\"%1\" Type=\"Int\" Length=\"4\" Position=\"%2\" Conversion=\"None\" "
                           "MultiplicationFactor=\"None\"/>";
    Write_File(F.Space.File_IEC61850_Variables, "<IEC61850_Variables>" + QByteArray(Row).replace("%1", "A").replace("%2", "0")
                                                    + QByteArray(Row).replace("%1", "B").replace("%2", "4")
                                                    + QByteArray(Row).replace("%1", "A").replace("%2", "8")
                                                    + "</IEC61850_Variables>");
    const QByteArray Before = Read_File(F.Space.File_IEC61850_Variables);
    F.Open();
    F.Click("Btn_OK");
    QCOMPARE(F.Prompts.Texts(), QStringList{F.Space.Str(929) + "3!! the name \"A\" is already used by row 1"});
    QCOMPARE(F.Table().Current_Row(), 3);
    QCOMPARE(F.Table().Current_Column(), int(V::Col_Name));
    QCOMPARE(Read_File(F.Space.File_IEC61850_Variables), Before);
}

QTEST_MAIN(Test_List_Editors)
#include "test_list_editors.moc"
