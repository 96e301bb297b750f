#include "editors/Ui_Undo_Step.h"

#include "editors/Editor_Texts.h"
#include "foundation/Lang_Strings.h"

#include <QAction>
#include <QKeySequence>
#include <QPushButton>
#include <QUndoStack>
#include <QWidget>

void Undo_Step::redo()
{
    if (!std::exchange(First, false))
        Put_After();
}

void Undo_Step::undo() { Put_Before(); }

Undo_Controls::Undo_Controls(QWidget& Editor, QUndoStack& History_, const Lang_Table& Lang_,
                             QPushButton& Undo_Button_, QPushButton& Redo_Button_, std::function<void()> Record_Pending_)
    : History(History_), Lang(Lang_), Record_Pending(std::move(Record_Pending_)), Undo_Button(Undo_Button_), Redo_Button(Redo_Button_)
{
    Undo = History.createUndoAction(this, Lang[Editing_Text::Undo]);
    Redo = History.createRedoAction(this, Lang[Editing_Text::Redo]);
    Undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* Action : {Undo, Redo}) {
        // What is being edited becomes a step before the history moves: the
        // actions' own call of the history is replaced by one that ends it first.
        disconnect(Action, &QAction::triggered, &History, nullptr);
        Action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        Editor.addAction(Action);
    }
    connect(Undo, &QAction::triggered, this, &Undo_Controls::Undo_Now);
    connect(Redo, &QAction::triggered, this, &Undo_Controls::Redo_Now);
    connect(&Undo_Button, &QPushButton::clicked, Undo, &QAction::trigger);
    connect(&Redo_Button, &QPushButton::clicked, Redo, &QAction::trigger);
    connect(Undo, &QAction::changed, this, &Undo_Controls::Refresh);
    connect(Redo, &QAction::changed, this, &Undo_Controls::Refresh);
    Refresh();
}

void Undo_Controls::Refresh()
{
    Show(*Undo, Undo_Button, Editing_Text::Undo_Hint, Editing_Text::Nothing_To_Undo, History.undoText());
    Show(*Redo, Redo_Button, Editing_Text::Redo_Hint, Editing_Text::Nothing_To_Redo, History.redoText());
}

void Undo_Controls::Undo_Now()
{
    if (Record_Pending)
        Record_Pending();
    History.undo();
}

void Undo_Controls::Redo_Now()
{
    if (Record_Pending)
        Record_Pending();
    History.redo();
}

void Undo_Controls::Show(QAction& Action, QPushButton& Button, int Hint_Slot, int Nothing_Slot, const QString& Step)
{
    const QString Hint = Action.isEnabled() ? Lang[Hint_Slot].arg(Step) : Lang[Nothing_Slot];
    // Setting the tip changes the action again: only a new one is set.
    if (Action.toolTip() != Hint)
        Action.setToolTip(Hint);
    Button.setEnabled(Action.isEnabled());
    Button.setToolTip(Hint);
}
