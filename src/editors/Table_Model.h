#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// How a table keeps the state of its check boxes.
enum class Check_Kind {
    // The check box of a column is its cell text: "Y" checked, anything else unchecked.
    Text_Check,
    // A cell may carry a check box whose checked state is kept apart from its text.
    State_Check,
};

// The editor a column offers for its cells.
enum class Column_Kind {
    Free_Text,
    Multi_Line_Text,
    Pick_List,
    Editable_Pick_List,
    Data_Check_Box,
};

struct Table_Cell {
    QString Text;
    bool Has_Check = false;
    bool Checked = false;
    bool operator==(const Table_Cell&) const = default;
};

// Every cell of a table, row by row; copies share their texts until one changes.
using Table_Cells = QList<QList<Table_Cell>>;

// The cells of a list editor's table addressed as the editors see them: row 0
// is the header row, column 0 the row-number column, data rows 1..Row_Count-1
// and data columns 1..Column_Count-1. To a view the data cells appear as the
// model's items and the fixed row and column as its headers.
class Table_Model : public QAbstractTableModel {
    Q_OBJECT
public:
    Table_Model(Check_Kind Kind, int Row_Count, int Column_Count, QObject* Parent = nullptr);

    Check_Kind Kind() const { return Check; }
    int Row_Count() const { return static_cast<int>(Cells.size()); }
    int Visible_Column_Count() const { return Columns; }
    int Hidden_Column_Count() const { return 0; }
    // Columns 1..W are the data columns a row operation touches.
    int Data_Width() const { return Visible_Column_Count() + Hidden_Column_Count() - 1; }

    QString Cell(int Row, int Column) const;
    void Set_Cell(int Row, int Column, const QString& Text);
    bool Has_Check(int Row, int Column) const;
    bool Checked(int Row, int Column) const;
    // Gives the cell a check box with the given state.
    void Set_Check(int Row, int Column, bool Checked);

    Column_Kind Kind_Of(int Column) const;
    void Set_Column_Kind(int Column, Column_Kind Kind, const QStringList& Items = {});
    QStringList Pick_Items(int Column) const;
    void Set_Header_Hint(int Column, const QString& Hint);
    QString Header_Hint(int Column) const;

    int Current_Row() const { return Row_Now; }
    int Current_Column() const { return Column_Now; }
    // Only a data cell can be current.
    void Set_Current(int Row, int Column);

    // The whole table as it stands, and the way back to it: Restore_Cells puts
    // back the data cells (rows and columns from 1 on) and returns the first
    // one that changed, or (0, 0) when none did.
    const Table_Cells& All_Cells() const { return Cells; }
    std::pair<int, int> Restore_Cells(const Table_Cells& Saved);
    // Whether the data cells equal those of Saved.
    bool Same_Data(const Table_Cells& Saved) const;

    // The cell a validation error pointed at: the editor next opened on it
    // starts with its whole text selected, so that typing replaces it.
    void Mark_Error_Cell(int Row, int Column) { Error_Cell = {Row, Column}; }
    // Whether (Row, Column) is that cell; asking forgets the mark.
    bool Take_Error_Cell(int Row, int Column)
    {
        return std::exchange(Error_Cell, std::pair{0, 0}) == std::pair{Row, Column} && Row > 0;
    }

    // Asks the views to fit a column to its widest content.
    void Fit_Column(int Column) { emit Column_Fit_Wanted(Column); }

    // Model interface: item (r, c) is data cell (r + 1, c + 1).
    int rowCount(const QModelIndex& Parent = {}) const override;
    int columnCount(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;
    bool setData(const QModelIndex& Index, const QVariant& Value, int Role) override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;

    // A text that spans several lines, shown on one line.
    static QString Compact_Text(const QString& Text);

signals:
    void Current_Cell_Changed(int Row, int Column);
    // Around every change made through setData, the way views and their
    // editors change a cell: what the user did, for an undo step.
    void User_Edit_Starting(int Row, int Column, int Role);
    void User_Edit_Finished(int Row, int Column);
    void Column_Fit_Wanted(int Column);

private:
    bool Is_Cell(int Row, int Column) const;
    bool Set_Data(int Row, int Column, const QVariant& Value, int Role);
    void Changed(int Row, int Column);

    Check_Kind Check;
    int Columns;
    QList<QList<Table_Cell>> Cells;
    QList<Column_Kind> Column_Kinds;
    QList<QStringList> Column_Items;
    QStringList Hints;
    int Row_Now = 1;
    int Column_Now = 1;
    std::pair<int, int> Error_Cell{0, 0};
};
