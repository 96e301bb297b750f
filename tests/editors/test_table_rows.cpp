#include "editors/List_Files.h"
#include "editors/Table_Model.h"
#include "editors/Table_Rows.h"
#include "foundation/Workspace.h"
#include "support/Scripted_Prompter.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

// A variables-like text-check table and a certificates-like state-check
// table, with every data row filled so moved content can be traced.
struct Tables {
    Copied_Row Clipboard;
    Lang_Table Lang;
    User_Options Options;
    Scripted_Prompter Prompts;
    Table_Model Text{Check_Kind::Text_Check, 51, 13};
    Table_Model State{Check_Kind::State_Check, 11, 4};

    Tables()
    {
        Lang.Create_Default_Strings();
        IEC61850_Variables::Init_Table(Text);
        IEC61850_Variables::Reset(Text);
        TLS_Known_Cert::Init_Table(State);
        TLS_Known_Cert::Reset(State);
        for (int Row = 1; Row <= 50; ++Row) {
            Text.Set_Cell(Row, 1, Row % 2 ? QStringLiteral("Y") : QStringLiteral("N"));
            Text.Set_Cell(Row, 2, QStringLiteral("Var%1").arg(Row));
            Text.Set_Cell(Row, 12, QStringLiteral("M%1").arg(Row));
        }
        for (int Row = 1; Row <= 10; ++Row) {
            State.Set_Check(Row, 1, Row % 2 == 1);
            State.Set_Cell(Row, 2, QStringLiteral("Cert%1").arg(Row));
            State.Set_Cell(Row, 3, QStringLiteral("D%1").arg(Row));
        }
    }
};

} // namespace

class Test_Table_Rows : public QObject {
    Q_OBJECT
private slots:
    void Model_Is_Consistent();
    void Delete_Moves_Up_And_Empties_Last_Text_Check();
    void Delete_State_Check_data();
    void Delete_State_Check();
    void Insert_Moves_Down_And_Drops_Last();
    void Insert_At_Last_Row_Only_Empties_It();
    void Copy_State_Check_Puts_Box_As_Text();
    void Paste_Refused_data();
    void Paste_Refused();
    void Paste_Asks_Only_For_Used_Rows_data();
    void Paste_Asks_Only_For_Used_Rows();
    void Paste_Unchecked_Row_Unchecks_Target();
    void Paste_Repeats_From_One_Copy();
    void Enter_Next_Cell_data();
    void Enter_Next_Cell();
    void Header_Auto_Size_Only_On_Header_When_Set();
};

void Test_Table_Rows::Model_Is_Consistent()
{
    Tables T;
    QAbstractItemModelTester Text_Check(&T.Text, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester State_Check(&T.State, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(T.Text.rowCount(), 50);
    QCOMPARE(T.Text.columnCount(), 12);
    // Header row and row-number column are the view's headers, not items.
    QCOMPARE(T.Text.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString());
    T.Text.Set_Cell(0, 2, QStringLiteral("Name"));
    QCOMPARE(T.Text.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Name"));
    QCOMPARE(T.Text.headerData(4, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("5"));
    // A text-check cell shows its box and no text; toggling writes Y / N.
    const QModelIndex Enable = T.Text.index(1, 0);
    QCOMPARE(T.Text.data(Enable, Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(T.Text.data(Enable, Qt::DisplayRole), QVariant());
    QVERIFY(T.Text.setData(Enable, Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(T.Text.Cell(2, 1), QStringLiteral("Y"));
    QVERIFY(T.State.setData(T.State.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(!T.State.Checked(1, 1));
    QCOMPARE(T.State.Cell(1, 1), QString());
}

void Test_Table_Rows::Delete_Moves_Up_And_Empties_Last_Text_Check()
{
    Tables T;
    Delete_Row(T.Text, 3);
    QCOMPARE(T.Text.Cell(2, 2), QStringLiteral("Var2"));
    QCOMPARE(T.Text.Cell(3, 2), QStringLiteral("Var4"));
    QCOMPARE(T.Text.Cell(3, 1), QStringLiteral("N"));
    QCOMPARE(T.Text.Cell(49, 2), QStringLiteral("Var50"));
    QCOMPARE(T.Text.Cell(49, 12), QStringLiteral("M50"));
    for (int Column = 1; Column <= 12; ++Column)
        QCOMPARE(T.Text.Cell(50, Column), QString());
    QCOMPARE(T.Text.Cell(3, 0), QStringLiteral("3"));
    QCOMPARE(T.Text.Cell(50, 0), QStringLiteral("50"));

    Delete_Row(T.Text, 49);
    QCOMPARE(T.Text.Cell(49, 2), QString());
    Delete_Row(T.Text, 50);
    QCOMPARE(T.Text.Cell(48, 2), QStringLiteral("Var49"));
}

void Test_Table_Rows::Delete_State_Check_data()
{
    QTest::addColumn<bool>("Check_First");
    QTest::newRow("last box checked") << true;
    QTest::newRow("last box unchecked") << false;
}

void Test_Table_Rows::Delete_State_Check()
{
    QFETCH(bool, Check_First);
    Tables T;
    Delete_Row(T.State, 3, Check_First);
    QCOMPARE(T.State.Cell(3, 2), QStringLiteral("Cert4"));
    QVERIFY(!T.State.Checked(3, 1));  // row 4 was unchecked
    QVERIFY(T.State.Checked(4, 1));
    QCOMPARE(T.State.Cell(9, 3), QStringLiteral("D10"));
    QVERIFY(T.State.Has_Check(10, 1));
    QCOMPARE(T.State.Checked(10, 1), Check_First);
    QCOMPARE(T.State.Cell(10, 2), QString());
    QCOMPARE(T.State.Cell(10, 3), QString());

    // The last row: only emptied.
    T.State.Set_Check(10, 1, !Check_First);
    T.State.Set_Cell(10, 2, QStringLiteral("X"));
    Delete_Row(T.State, 10, Check_First);
    QCOMPARE(T.State.Cell(10, 2), QString());
    QCOMPARE(T.State.Checked(10, 1), Check_First);
    QCOMPARE(T.State.Cell(9, 2), QStringLiteral("Cert10"));
}

void Test_Table_Rows::Insert_Moves_Down_And_Drops_Last()
{
    Tables T;
    Insert_Row(T.Text, 3, true);
    QCOMPARE(T.Text.Cell(2, 2), QStringLiteral("Var2"));
    QCOMPARE(T.Text.Cell(3, 1), QStringLiteral("Y"));
    for (int Column = 2; Column <= 12; ++Column)
        QCOMPARE(T.Text.Cell(3, Column), QString());
    QCOMPARE(T.Text.Cell(4, 2), QStringLiteral("Var3"));
    QCOMPARE(T.Text.Cell(50, 2), QStringLiteral("Var49"));
    QCOMPARE(T.Text.Cell(50, 0), QStringLiteral("50"));

    Insert_Row(T.Text, 5, false);
    QCOMPARE(T.Text.Cell(5, 1), QString());

    Insert_Row(T.State, 3, true);
    QVERIFY(T.State.Checked(3, 1));
    QCOMPARE(T.State.Cell(3, 2), QString());
    QCOMPARE(T.State.Cell(4, 2), QStringLiteral("Cert3"));
    QVERIFY(T.State.Checked(4, 1));
    QVERIFY(!T.State.Checked(5, 1));  // old row 4, unchecked
    QCOMPARE(T.State.Cell(10, 2), QStringLiteral("Cert9"));
}

void Test_Table_Rows::Insert_At_Last_Row_Only_Empties_It()
{
    Tables T;
    Insert_Row(T.State, 10, true);
    QCOMPARE(T.State.Cell(9, 2), QStringLiteral("Cert9"));
    QCOMPARE(T.State.Cell(10, 2), QString());
    QVERIFY(T.State.Checked(10, 1));
    Insert_Row(T.Text, 50, true);
    QCOMPARE(T.Text.Cell(49, 2), QStringLiteral("Var49"));
    QCOMPARE(T.Text.Cell(50, 2), QString());
    QCOMPARE(T.Text.Cell(50, 1), QStringLiteral("Y"));
}

void Test_Table_Rows::Copy_State_Check_Puts_Box_As_Text()
{
    Tables T;
    Copy_Row(T.State, 2, T.Clipboard);
    QCOMPARE(T.Clipboard.Row_Clipboard, (QStringList{"N", "Cert2", "D2"}));
    QCOMPARE(T.Clipboard.Row_Clipboard_Checks, (QList<bool>{true, false, false}));
    Copy_Row(T.Text, 4, T.Clipboard);
    QCOMPARE(T.Clipboard.Row_Clipboard.size(), 12);
    QCOMPARE(T.Clipboard.Row_Clipboard.first(), QStringLiteral("N"));
    QCOMPARE(T.Clipboard.Row_Clipboard[1], QStringLiteral("Var4"));
}

void Test_Table_Rows::Paste_Refused_data()
{
    QTest::addColumn<bool>("Copied");
    QTest::addColumn<QStringList>("Clipboard");
    QTest::addColumn<int>("Slot");
    QTest::newRow("no copy in this showing") << false << QStringList(12, QStringLiteral("a")) << 1102;
    QTest::newRow("clipboard of the other table") << true << QStringList{"Y", "c", "d"} << 1101;
    QTest::newRow("empty clipboard") << true << QStringList() << 1101;
}

void Test_Table_Rows::Paste_Refused()
{
    QFETCH(bool, Copied);
    QFETCH(QStringList, Clipboard);
    QFETCH(int, Slot);
    Tables T;
    T.Clipboard.Row_Clipboard = Clipboard;
    Paste_Row(T.Text, 7, Copied, T.Clipboard, T.Lang, T.Prompts);
    QCOMPARE(T.Prompts.Messages.size(), 1);
    QCOMPARE(T.Prompts.Messages[0].Kind, Prompt_Kind::Error);
    QCOMPARE(T.Prompts.Last_Text(), T.Lang[Slot]);
    QCOMPARE(T.Text.Cell(7, 2), QStringLiteral("Var7"));
}

void Test_Table_Rows::Paste_Asks_Only_For_Used_Rows_data()
{
    QTest::addColumn<bool>("State_Check");
    QTest::addColumn<int>("Column");
    QTest::addColumn<QString>("Content");
    QTest::addColumn<bool>("Asked");
    QTest::newRow("text: only Enable Y") << false << 1 << "Y" << false;
    QTest::newRow("text: only Swap Y") << false << 10 << "Y" << false;
    QTest::newRow("text: a name") << false << 2 << "Temp" << true;
    QTest::newRow("text: a blank mnemonic") << false << 12 << " " << false;
    QTest::newRow("text: a pick-list value") << false << 3 << "Int" << true;
    QTest::newRow("state: nothing") << true << 3 << "" << false;
    QTest::newRow("state: a blank description") << true << 3 << " " << true;
    QTest::newRow("state: a certificate") << true << 2 << "abc" << true;
}

void Test_Table_Rows::Paste_Asks_Only_For_Used_Rows()
{
    QFETCH(bool, State_Check);
    QFETCH(int, Column);
    QFETCH(QString, Content);
    QFETCH(bool, Asked);
    Tables T;
    Table_Model& Table = State_Check ? T.State : T.Text;
    Copy_Row(Table, 1, T.Clipboard);
    const int Target = 5;
    for (int C = 1; C <= Table.Data_Width(); ++C)
        if (!Table.Has_Check(Target, C))
            Table.Set_Cell(Target, C, QString());
    Table.Set_Cell(Target, Column, Content);

    // No: the row stays as it was.
    Paste_Row(Table, Target, true, T.Clipboard, T.Lang, T.Prompts);
    QCOMPARE(T.Prompts.Messages.size(), Asked ? 1 : 0);
    if (Asked) {
        QCOMPARE(T.Prompts.Messages[0].Kind, Prompt_Kind::Confirmation);
        QCOMPARE(T.Prompts.Last_Text(), T.Lang[1100]);
        QCOMPARE(Table.Cell(Target, Column), Content);
        T.Prompts.Answers = {Prompt_Answer::Yes};
        Paste_Row(Table, Target, true, T.Clipboard, T.Lang, T.Prompts);
    }
    QCOMPARE(Table.Cell(Target, 2), Table.Cell(1, 2));
    QCOMPARE(Table.Cell(Target, 3), Table.Cell(1, 3));
}

void Test_Table_Rows::Paste_Unchecked_Row_Unchecks_Target()
{
    Tables T;
    Copy_Row(T.State, 4, T.Clipboard);  // unchecked
    T.State.Set_Cell(7, 2, QString());
    T.State.Set_Cell(7, 3, QString());
    QVERIFY(T.State.Checked(7, 1));
    Paste_Row(T.State, 7, true, T.Clipboard, T.Lang, T.Prompts);
    QVERIFY(T.Prompts.Messages.isEmpty());
    QVERIFY(!T.State.Checked(7, 1));
    QCOMPARE(T.State.Cell(7, 1), QString());  // the box is no text
    QCOMPARE(T.State.Cell(7, 2), QStringLiteral("Cert4"));
}

void Test_Table_Rows::Paste_Repeats_From_One_Copy()
{
    Tables T;
    Copy_Row(T.Text, 2, T.Clipboard);
    T.Prompts.Answers = {Prompt_Answer::Yes, Prompt_Answer::Yes};
    Paste_Row(T.Text, 10, true, T.Clipboard, T.Lang, T.Prompts);
    Paste_Row(T.Text, 11, true, T.Clipboard, T.Lang, T.Prompts);
    QCOMPARE(T.Text.Cell(10, 2), QStringLiteral("Var2"));
    QCOMPARE(T.Text.Cell(11, 1), QStringLiteral("N"));
    QCOMPARE(T.Text.Cell(11, 12), QStringLiteral("M2"));
    QCOMPARE(T.Clipboard.Row_Clipboard.size(), 12);
}

void Test_Table_Rows::Enter_Next_Cell_data()
{
    QTest::addColumn<bool>("Enabled");
    QTest::addColumn<int>("Key");
    QTest::addColumn<int>("Row");
    QTest::addColumn<int>("Column");
    QTest::addColumn<int>("New_Row");
    QTest::addColumn<int>("New_Column");
    QTest::addColumn<bool>("Consumed");
    QTest::newRow("next column") << true << 13 << 4 << 2 << 4 << 3 << true;
    QTest::newRow("last column wraps to next row") << true << 13 << 4 << 12 << 5 << 1 << true;
    QTest::newRow("last cell wraps to row 1") << true << 13 << 50 << 12 << 1 << 1 << true;
    QTest::newRow("switched off") << false << 13 << 4 << 2 << 4 << 2 << false;
    QTest::newRow("another key") << true << int('a') << 4 << 2 << 4 << 2 << false;
}

void Test_Table_Rows::Enter_Next_Cell()
{
    QFETCH(bool, Enabled);
    QFETCH(int, Key);
    QFETCH(int, Row);
    QFETCH(int, Column);
    QFETCH(int, New_Row);
    QFETCH(int, New_Column);
    QFETCH(bool, Consumed);
    Tables T;
    T.Options.Enable_Jump_Field_Tables = Enabled;
    T.Text.Set_Current(Row, Column);
    QChar Typed(Key);
    ::Enter_Next_Cell(T.Text, Typed, T.Options.Enable_Jump_Field_Tables);
    QCOMPARE(T.Text.Current_Row(), New_Row);
    QCOMPARE(T.Text.Current_Column(), New_Column);
    QCOMPARE(Typed.isNull(), Consumed);
}

void Test_Table_Rows::Header_Auto_Size_Only_On_Header_When_Set()
{
    Tables T;
    QSignalSpy Fits(&T.Text, &Table_Model::Column_Fit_Wanted);
    Header_Auto_Size(T.Text, 0, 4, T.Options.Double_Click_Auto_Size);
    QCOMPARE(Fits.size(), 0);
    T.Options.Double_Click_Auto_Size = true;
    Header_Auto_Size(T.Text, 3, 4, T.Options.Double_Click_Auto_Size);
    QCOMPARE(Fits.size(), 0);
    Header_Auto_Size(T.Text, 0, 4, T.Options.Double_Click_Auto_Size);
    QCOMPARE(Fits.size(), 1);
    QCOMPARE(Fits[0][0].toInt(), 4);
}

QTEST_GUILESS_MAIN(Test_Table_Rows)
#include "test_table_rows.moc"
