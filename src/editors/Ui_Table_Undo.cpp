#include "editors/Ui_Table_Undo.h"

#include <QUndoCommand>

class Table_Step : public QUndoCommand {
public:
    Table_Step(Table_Undo& Owner_, const QString& Name, Table_Cells Before_, Table_Cells After_)
        : QUndoCommand(Name), Owner(Owner_), Before(std::move(Before_)), After(std::move(After_))
    {
    }
    // The step is pushed once it is done: the first redo has nothing to do.
    void redo() override
    {
        if (std::exchange(First, false))
            return;
        Owner.Restore(After);
    }
    void undo() override { Owner.Restore(Before); }

private:
    Table_Undo& Owner;
    Table_Cells Before;
    Table_Cells After;
    bool First = true;
};

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
        History.push(new Table_Step(*this, Name_Now, Before, Table.All_Cells()));
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
