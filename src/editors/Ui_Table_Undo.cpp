#include "editors/Ui_Table_Undo.h"

#include "editors/Ui_Undo_Step.h"

Table_Undo::Table_Undo(Table_Model& Table_, QObject* Parent) : QObject(Parent), Table(Table_)
{
    connect(&History, &QUndoStack::cleanChanged, this, [this] { emit Changed_State(Changed()); });
    connect(&Table, &QAbstractItemModel::dataChanged, this, [this] {
        if (Depth > 0 || Restoring || Unrecorded)
            return;
        Unrecorded = true;
        emit Changed_State(true);
    });
}

void Table_Undo::Begin(const QString& Name)
{
    if (Depth++ > 0)
        return;
    Before = Table.All_Cells();
    Name_Now = Name;
}

void Table_Undo::End()
{
    if (Depth == 0 || --Depth > 0)
        return;
    if (!Table.Same_Data(Before))
        History.push(Undo_Step::Between(Name_Now, Before, Table.All_Cells(),
                                        [this](const Table_Cells& Cells) { Restore(Cells); }));
    Before.clear();
}

void Table_Undo::Reset()
{
    History.clear();
    History.setClean();
    Unrecorded = false;
    emit Changed_State(false);
}

void Table_Undo::Restore(const Table_Cells& Cells)
{
    Restoring = true;
    const auto [Row, Column] = Table.Restore_Cells(Cells);
    Restoring = false;
    if (Row > 0)
        Table.Set_Current(Row, Column);
}
