#pragma once

#include <QTableView>

class QLabel;
class Table_Delegate;
class Table_Model;
class Workspace;

// The table of a list editor: the header row and the row-number column are
// the view's headers, the current cell follows the model's, and Enter and a
// double-click on a header act as the user's settings ask.
class Table_View : public QTableView {
    Q_OBJECT
public:
    Table_View(Table_Model& Model, const Workspace& Space, QWidget* Parent = nullptr);

    Table_Model& Model() { return Table; }
    // The text of the fixed corner cell (the row-number column's header).
    void Set_Corner_Text(const QString& Text);
    // Opens the editor of a data cell as a user's double-click would.
    void Edit_Cell(int Row, int Column);

    // Ctrl+C: the selected block (or the current cell) as tab-separated
    // text, a check box as "Y" or "N"; one cell alone is its whole text.
    void Copy_Block();
    // The text Ctrl+V pastes.
    QString Clipboard_Text() const;
    // The editor next opened on the cell starts with its whole text selected.
    void Select_Whole_Text_In(int Row, int Column);

signals:
    // Ctrl+V: the owner pastes the clipboard's cells from the current cell on.
    void Paste_Requested();

protected:
    bool event(QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void currentChanged(const QModelIndex& Current, const QModelIndex& Previous) override;

private:
    // Ctrl+Tab and Ctrl+Shift+Tab move the focus out of the table.
    bool Leave_Table(QKeyEvent* Event);
    void KeyPress();
    void DblClickCell(int Row, int Column);

    Table_Model& Table;
    const Workspace& Space;
    Table_Delegate* Delegate;
    QLabel* Corner;
};
