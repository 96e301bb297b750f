#include "Editor_Fixture.h"
#include "editors/List_Files.h"
#include "editors/TFIEC61850_Variables.h"
#include "editors/TFTLS_Server_Known_Cert.h"
#include "editors/Ui_Table_View.h"
#include "platform/Decimal_Separator.h"
#include "support/Test_Support.h"

#include <QApplication>
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

class Point_Separator : public Decimal_Separator {
public:
    QString Read() override { return QStringLiteral("."); }
};

template <class Dialog>
struct List_Fixture : Editor_Fixture {
    Dialog* Window = nullptr;
    Table_View* Grid = nullptr;

    void Open()
    {
        Window->FormShow();
        Window->show();
        QApplication::setActiveWindow(Window);
        QVERIFY(QTest::qWaitForWindowActive(Window));
    }
    void Click(const QString& Button) { QTest::mouseClick(Find<QPushButton>(Window, Button), Qt::LeftButton); }
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
    Point_Separator Separator;
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
    void Tab_Reaches_The_Buttons();
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

    F.Table().Set_Cell(2, 2, QStringLiteral("second"));
    QTest::mouseClick(F.Grid->viewport(), Qt::LeftButton, {}, F.Cell_Rect(2, 1).center());
    QVERIFY(!F.Table().Checked(2, 1));
    F.Click("Btn_OK");
    QVERIFY(!F.Dialog.isVisible());
    QVERIFY(Read_File(F.Space.File_TLS_Known_Cert).contains("<row Enable=\"N\" Certificate=\"second\""));

    F.Open();
    QCOMPARE(F.Table().Cell(1, 2), Expected);
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
    F.Table().Set_Cell(1, 2, QStringLiteral("cert"));
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
    QCOMPARE(F.Table().Cell(1, 2), QStringLiteral("cert"));
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

void Test_List_Editors::Tab_Reaches_The_Buttons()
{
    Variables_Fixture F;
    F.Open();
    F.Click_Cell(2, V::Col_Name);
    QCOMPARE(QApplication::focusWidget(), F.Grid);
    QTest::keyClick(F.Grid, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Find<QPushButton>(&F.Dialog, "Btn_DelRow"));
    const QStringList Order{"Btn_InsRow",    "Btn_CopyRow", "Btn_PasteRow", "Btn_ExportCsv",
                            "Btn_ImportCsv", "Btn_Map",     "Btn_OK",       "Btn_Cancel"};
    for (const QString& Name : Order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), Name);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), F.Grid);
    // The current cell stays where it was.
    QCOMPARE(F.Table().Current_Row(), 2);
    QCOMPARE(F.Table().Current_Column(), int(V::Col_Name));

    // While a cell is edited, Tab still moves on to the next cell.
    auto* Name = F.Open_Editor<QLineEdit>(2, V::Col_Name);
    F.Type(Name, "Level");
    QTest::keyClick(Name, Qt::Key_Tab);
    QCOMPARE(F.Table().Cell(2, V::Col_Name), QStringLiteral("Level"));
    QCOMPARE(F.Table().Current_Column(), int(V::Col_Type));
}

QTEST_MAIN(Test_List_Editors)
#include "test_list_editors.moc"
