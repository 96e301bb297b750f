#pragma once

#include <QObject>
#include <QString>
#include <QUndoCommand>

#include <functional>
#include <utility>

class Lang_Table;
class QAction;
class QPushButton;
class QUndoStack;
class QWidget;

// One step of an editor's history, the general parameters' and the tables'
// alike: the editor's state before and after it, put back through the
// editor's own restore. A step is pushed once it is done: its first redo has
// nothing to do.
class Undo_Step final : public QUndoCommand {
public:
    template <class State, class Restore_Function>
    static Undo_Step* Between(const QString& Name, State Before, State After, Restore_Function Restore)
    {
        return new Undo_Step(Name, [=] { Restore(Before); }, [=] { Restore(After); });
    }

    void redo() override;
    void undo() override;

private:
    Undo_Step(const QString& Name, std::function<void()> Undo_, std::function<void()> Redo_)
        : QUndoCommand(Name), Put_Before(std::move(Undo_)), Put_After(std::move(Redo_))
    {
    }
    std::function<void()> Put_Before;
    std::function<void()> Put_After;
    bool First = true;
};

// An editor's Undo and Redo: the history's own actions
// (QUndoStack::createUndoAction, createRedoAction), enabled while there is a
// step to undo or redo and named after it. Their keys work anywhere in the
// editor (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y), the buttons trigger them and show
// their state and hint. Record_Pending runs before each, so that what is being edited
// ends as a step of its own first. The editor keeps it in a member declared
// after its history, so that it goes first.
class Undo_Controls : public QObject {
    Q_OBJECT
public:
    Undo_Controls(QWidget& Editor, QUndoStack& History, const Lang_Table& Lang, QPushButton& Undo_Button,
                  QPushButton& Redo_Button, std::function<void()> Record_Pending);

    QAction& Undo_Action() { return *Undo; }
    QAction& Redo_Action() { return *Redo; }
    // What the actions do: Record_Pending, then a step back or forth.
    void Undo_Now();
    void Redo_Now();
    // Shows the state and hints again (after the language changed).
    void Refresh();

private:
    void Show(QAction& Action, QPushButton& Button, int Hint_Slot, int Nothing_Slot, const QString& Step);

    QUndoStack& History;
    const Lang_Table& Lang;
    std::function<void()> Record_Pending;
    QPushButton& Undo_Button;
    QPushButton& Redo_Button;
    QAction* Undo = nullptr;
    QAction* Redo = nullptr;
};
