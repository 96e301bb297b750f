#include "editors/Table_Model.h"

Table_Model::Table_Model(Check_Kind Kind, int Row_Count, int Column_Count, QObject* Parent)
    : QAbstractTableModel(Parent), Check(Kind), Columns(Column_Count)
{
    Cells.resize(Row_Count);
    for (QList<Table_Cell>& Row : Cells)
        Row.resize(Column_Count);
    Column_Kinds.fill(Column_Kind::Free_Text, Column_Count);
    Column_Items.resize(Column_Count);
    Hints.resize(Column_Count);
}

bool Table_Model::Is_Cell(int Row, int Column) const
{
    return Row >= 0 && Row < Row_Count() && Column >= 0 && Column < Columns;
}

QString Table_Model::Cell(int Row, int Column) const
{
    return Is_Cell(Row, Column) ? Cells[Row][Column].Text : QString();
}

void Table_Model::Changed(int Row, int Column)
{
    if (Row == 0 && Column > 0) {
        emit headerDataChanged(Qt::Horizontal, Column - 1, Column - 1);
    } else if (Column == 0 && Row > 0) {
        emit headerDataChanged(Qt::Vertical, Row - 1, Row - 1);
    } else if (Row > 0 && Column > 0) {
        const QModelIndex Item = index(Row - 1, Column - 1);
        emit dataChanged(Item, Item);
    }
}

void Table_Model::Set_Cell(int Row, int Column, const QString& Text)
{
    if (!Is_Cell(Row, Column) || Cells[Row][Column].Text == Text)
        return;
    Cells[Row][Column].Text = Text;
    Changed(Row, Column);
}

bool Table_Model::Has_Check(int Row, int Column) const { return Is_Cell(Row, Column) && Cells[Row][Column].Has_Check; }

bool Table_Model::Checked(int Row, int Column) const { return Is_Cell(Row, Column) && Cells[Row][Column].Checked; }

void Table_Model::Set_Check(int Row, int Column, bool Is_Checked)
{
    if (!Is_Cell(Row, Column))
        return;
    Table_Cell& Target = Cells[Row][Column];
    if (Target.Has_Check && Target.Checked == Is_Checked)
        return;
    Target.Has_Check = true;
    Target.Checked = Is_Checked;
    Changed(Row, Column);
}

Column_Kind Table_Model::Kind_Of(int Column) const
{
    return Column >= 0 && Column < Columns ? Column_Kinds[Column] : Column_Kind::Free_Text;
}

void Table_Model::Set_Column_Kind(int Column, Column_Kind Kind, const QStringList& Items)
{
    if (Column < 0 || Column >= Columns)
        return;
    Column_Kinds[Column] = Kind;
    Column_Items[Column] = Items;
}

QStringList Table_Model::Pick_Items(int Column) const
{
    return Column >= 0 && Column < Columns ? Column_Items[Column] : QStringList();
}

void Table_Model::Set_Header_Hint(int Column, const QString& Hint)
{
    if (Column >= 0 && Column < Columns)
        Hints[Column] = Hint;
}

QString Table_Model::Header_Hint(int Column) const
{
    return Column >= 0 && Column < Columns ? Hints[Column] : QString();
}

void Table_Model::Set_Current(int Row, int Column)
{
    if (Row < 1 || Row >= Row_Count() || Column < 1 || Column >= Columns)
        return;
    if (Row == Row_Now && Column == Column_Now)
        return;
    Row_Now = Row;
    Column_Now = Column;
    emit Current_Cell_Changed(Row, Column);
}

int Table_Model::rowCount(const QModelIndex& Parent) const { return Parent.isValid() ? 0 : Row_Count() - 1; }

int Table_Model::columnCount(const QModelIndex& Parent) const { return Parent.isValid() ? 0 : Columns - 1; }

QString Table_Model::Compact_Text(const QString& Text)
{
    QString Line = Text;
    Line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Line.split(QLatin1Char('\n')).join(QStringLiteral(" \u21B5 "));
}

QVariant Table_Model::data(const QModelIndex& Index, int Role) const
{
    if (!Index.isValid())
        return {};
    const int Row = Index.row() + 1;
    const int Column = Index.column() + 1;
    if (!Is_Cell(Row, Column))
        return {};
    const Table_Cell& Item = Cells[Row][Column];
    const bool Text_Box = Check == Check_Kind::Text_Check && Kind_Of(Column) == Column_Kind::Data_Check_Box;
    switch (Role) {
    case Qt::DisplayRole:
        if (Text_Box)
            return {};
        return Kind_Of(Column) == Column_Kind::Multi_Line_Text ? Compact_Text(Item.Text) : Item.Text;
    case Qt::EditRole: return Item.Text;
    case Qt::CheckStateRole:
        if (Text_Box)
            return Item.Text == QLatin1String("Y") ? Qt::Checked : Qt::Unchecked;
        if (Check == Check_Kind::State_Check && Item.Has_Check)
            return Item.Checked ? Qt::Checked : Qt::Unchecked;
        return {};
    default: return {};
    }
}

bool Table_Model::setData(const QModelIndex& Index, const QVariant& Value, int Role)
{
    if (!Index.isValid())
        return false;
    const int Row = Index.row() + 1;
    const int Column = Index.column() + 1;
    if (!Is_Cell(Row, Column))
        return false;
    emit User_Edit_Starting(Row, Column, Role);
    const bool Done = Set_Data(Row, Column, Value, Role);
    emit User_Edit_Finished(Row, Column);
    return Done;
}

bool Table_Model::Set_Data(int Row, int Column, const QVariant& Value, int Role)
{
    if (Role == Qt::CheckStateRole) {
        const bool On = Value.toInt() == Qt::Checked;
        if (Check == Check_Kind::Text_Check && Kind_Of(Column) == Column_Kind::Data_Check_Box) {
            Set_Cell(Row, Column, On ? QStringLiteral("Y") : QStringLiteral("N"));
            return true;
        }
        if (Check == Check_Kind::State_Check && Cells[Row][Column].Has_Check) {
            Set_Check(Row, Column, On);
            return true;
        }
        return false;
    }
    if (Role == Qt::EditRole) {
        Set_Cell(Row, Column, Value.toString());
        return true;
    }
    return false;
}

Qt::ItemFlags Table_Model::flags(const QModelIndex& Index) const
{
    if (!Index.isValid())
        return Qt::NoItemFlags;
    const int Row = Index.row() + 1;
    const int Column = Index.column() + 1;
    Qt::ItemFlags Flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const bool Text_Box = Check == Check_Kind::Text_Check && Kind_Of(Column) == Column_Kind::Data_Check_Box;
    if (Text_Box || Has_Check(Row, Column))
        return Flags | Qt::ItemIsUserCheckable;
    return Flags | Qt::ItemIsEditable;
}

QVariant Table_Model::headerData(int Section, Qt::Orientation Orientation, int Role) const
{
    if (Orientation == Qt::Horizontal) {
        if (Role == Qt::DisplayRole)
            return Cell(0, Section + 1);
        if (Role == Qt::ToolTipRole) {
            const QString Hint = Header_Hint(Section + 1);
            return Hint.isEmpty() ? QVariant() : QVariant(Hint);
        }
    } else if (Role == Qt::DisplayRole) {
        return Cell(Section + 1, 0);
    }
    if (Role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

bool Table_Model::Same_Data(const Table_Cells& Saved) const
{
    if (Saved.size() != Cells.size())
        return false;
    for (int Row = 1; Row < Row_Count(); ++Row)
        for (int Column = 1; Column < Columns; ++Column)
            if (Saved[Row].value(Column) != Cells[Row][Column])
                return false;
    return true;
}

std::pair<int, int> Table_Model::Restore_Cells(const Table_Cells& Saved)
{
    std::pair<int, int> First{0, 0};
    int Last_Row = 0;
    for (int Row = 1; Row < Row_Count() && Row < Saved.size(); ++Row) {
        for (int Column = 1; Column < Columns && Column < Saved[Row].size(); ++Column) {
            if (Cells[Row][Column] == Saved[Row][Column])
                continue;
            Cells[Row][Column] = Saved[Row][Column];
            if (First.first == 0)
                First = {Row, Column};
            Last_Row = Row;
        }
    }
    // One notice over the rows that changed, every column wide, so that a
    // view or a map that follows some columns sees them all.
    if (First.first != 0)
        emit dataChanged(index(First.first - 1, 0), index(Last_Row - 1, Columns - 2));
    return First;
}
