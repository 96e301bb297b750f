#pragma once

#include <QStyledItemDelegate>

class Table_Model;
class Workspace;

// Paints and edits the cells of a list editor's table by their column's
// editor kind: pick lists, an editable pick list, check boxes (kept as cell
// text or as the cell's own state) and a multi-line text editor that opens on
// the cell.
class Table_Delegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    Table_Delegate(Table_Model& Model, const Workspace& Space, QObject* Parent = nullptr);

    QWidget* createEditor(QWidget* Parent, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
    void setEditorData(QWidget* Editor, const QModelIndex& Index) const override;
    void setModelData(QWidget* Editor, QAbstractItemModel* Model, const QModelIndex& Index) const override;
    void updateEditorGeometry(QWidget* Editor, const QStyleOptionViewItem& Option,
                              const QModelIndex& Index) const override;
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
    bool editorEvent(QEvent* Event, QAbstractItemModel* Model, const QStyleOptionViewItem& Option,
                     const QModelIndex& Index) override;

signals:
    // Enter ended the editing of a single-line cell.
    void Enter_Pressed();

protected:
    bool eventFilter(QObject* Editor, QEvent* Event) override;
    void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override;
    // A column that shows its text in a form of its own changes the drawn
    // cell here; the text itself, and its editing, stay the table's.
    virtual void Dress_Cell(QStyleOptionViewItem* Option, const QModelIndex& Index) const;

private:
    bool Is_Check_Cell(const QModelIndex& Index) const;

    Table_Model& Model;
    const Workspace& Space;
};
