#pragma once

#include "editors/Table_Model.h"
#include "platform/File_Write.h"
#include "widgets/Ui_Title_Area.h"

#include <QDialog>
#include <QPoint>
#include <QStringList>

#include <expected>
#include <optional>
#include <memory>

class QPushButton;
class Save_Guard;
class Prompter;
class Table_Undo;
class Undo_Controls;
class Table_View;
class Workspace;

// What the list editors share: a table of rows kept in one project file, the
// row buttons over the workspace's row clipboard, and OK that validates and
// writes the file whole.
class List_Editor : public QDialog {
    Q_OBJECT
public:
    // Texts of window, description and buttons from the slots First_Slot .. First_Slot + 13
    // (see List_Editor_Text's offsets).
    List_Editor(Workspace& Space, Prompter& Prompts, Check_Kind Kind, int Rows, int Columns, int First_Slot,
                const QString& Table_Name, QWidget* Parent);
    ~List_Editor() override;

    void Set_Lang();
    // Resets the table and loads the file. A malformed file raises
    // Xml_Parse_Error and leaves the dialog unopened.
    void FormShow();
    // FormShow, then the modal dialog.
    int Execute();

    void Btn_DelRowClick();
    void Btn_InsRowClick();
    void Btn_CopyRowClick();
    void Btn_PasteRowClick();
    void Btn_UndoClick();
    void Btn_RedoClick();
    // Ctrl+V: the clipboard's tab-separated cells from the current cell to
    // the right and down, as one step; a block that does not fit or holds a
    // value a column refuses changes nothing, and filled cells are
    // overwritten only after the user agreed.
    void Paste_Block();
    void Btn_OKClick();
    // A click in the row-number column selects the whole row.
    void ClickCell(int Row, int Column);
    // Cancel, Escape and the title-bar button: unsaved edits are given up only
    // after the user agreed.
    void reject() override;

    QStringList Hint_List;
    bool Do_Copy = false;
    Table_Undo& Undo_History() { return *Undo; }
    // What OK checks before it writes the file.
    Save_Guard& Guard() { return *Guard_Of_File; }
    // The table differs from the one loaded: it follows the undo history, so
    // undoing back to the loaded table means nothing changed.
    bool Is_Change = false;

protected:
    virtual void Load_Table() = 0;
    virtual bool Controllo_dati() = 0;
    // Asked after the validation has passed, before the file is written;
    // false keeps the dialog open.
    virtual bool Accept_Before_Save() { return true; }
    virtual std::expected<void, Write_Error> Save_Table() = 0;
    // What Save_Table would write.
    virtual QByteArray Table_Bytes() const = 0;
    virtual QString File_Path() const = 0;
    virtual void Set_Table_Texts() = 0;
    // Whether deleting leaves the emptied last row's box checked.
    virtual bool Delete_Checks_First_Column() const = 0;
    virtual int Delete_Question_Slot() const = 0;
    // A value a pasted block would put in a cell that OK refuses: the first,
    // with its table row and column (both 1-based) and the text OK would
    // show. Filled: the cells the paste gives a value (x the column, y the
    // row); a cell it leaves blank is for the user to fill in later.
    struct Cell_Problem {
        int Row = 0;
        int Column = 0;
        QString Text;
    };
    virtual std::optional<Cell_Problem> Paste_Problem(const QList<QStringList>& Rows_After,
                                                      const QList<QPoint>& Filled) const
    {
        Q_UNUSED(Rows_After);
        Q_UNUSED(Filled);
        return std::nullopt;
    }
    // Every data row's texts in attribute order, for Paste_Problem.
    virtual QList<QStringList> Table_Rows() const { return {}; }
    // The column whose first blank cell ends the list in the file.
    virtual int Key_Column() const = 0;

    // Makes a cell current and puts the focus on it, to show the user where to
    // look; its editor, once opened, starts with the whole text selected.
    void Go_To_Cell(int Row, int Column);
    // Called inside the undo step of every change the user made to cells of
    // Row, before the step closes, with the row's key cell as it was before:
    // what a row's other cells follow from.
    virtual void Complete_Row(int /*Row*/, const QString& /*Key_Before*/) {}
    // The name of a step on cells of a row, for the Undo and Redo hints.
    QString Step_Name(int Slot, int Row, int Column = 0) const;

    // Places the title, the table and the buttons in a client area of Width x Height.
    void Lay_Out(int Width, int Height);
    void Apply_Hints();
    // Keeps Undo and Redo at the top right of a dialog whose width changed.
    void Place_Undo_Buttons();

    Workspace& Space;
    Prompter& Prompts;
    Table_Model Table;
    Table_View* Grid = nullptr;
    Title_Area Title;
    // Gone before the table and the buttons it keeps up to date.
    std::unique_ptr<Table_Undo> Undo;
    // Undo and Redo, their keys and hints; gone before the history.
    std::unique_ptr<Undo_Controls> Undo_Keys;

private:
    QString Key_Before;  // the key cell of the row a cell edit changes
    QString Edit_Step_Name(int Row, int Column, int Role) const;

    // Before a save that would drop rows after a blank key cell, the user is asked.
    bool Dropped_Rows_Accepted();

    std::unique_ptr<Save_Guard> Guard_Of_File;
    int First_Slot;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QPushButton* Btn_DelRow = nullptr;
    QPushButton* Btn_InsRow = nullptr;
    QPushButton* Btn_CopyRow = nullptr;
    QPushButton* Btn_PasteRow = nullptr;
    QPushButton* Btn_Undo = nullptr;
    QPushButton* Btn_Redo = nullptr;
};
