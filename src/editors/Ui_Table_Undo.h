#pragma once

#include "editors/Table_Model.h"

#include <QObject>
#include <QUndoStack>

// The undo history of a list editor's table. A step is what changed between
// Begin and the matching End (steps opened inside a step belong to it); a
// step that changed nothing is not kept. Undo and redo put the table's data
// cells back as they were and make the first changed cell current.
class Table_Undo : public QObject {
    Q_OBJECT
public:
    Table_Undo(Table_Model& Table, QObject* Parent = nullptr);

    QUndoStack& Stack() { return History; }
    void Begin(const QString& Name);
    void End();
    template <class Action>
    void Step(const QString& Name, Action&& Do)
    {
        Begin(Name);
        Do();
        End();
    }
    // An empty history, the table as it stands being the unchanged state.
    void Reset();
    // Whether the table differs from its unchanged state: a change that was
    // made outside any step counts until the next Reset.
    bool Changed() const { return !History.isClean() || Unrecorded; }

signals:
    void Changed_State(bool Changed);

private:
    void Restore(const Table_Cells& Cells);

    Table_Model& Table;
    QUndoStack History;
    Table_Cells Before;
    QString Name_Now;
    int Depth = 0;
    bool Restoring = false;
    bool Unrecorded = false;
};
