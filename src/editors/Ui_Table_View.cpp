#include "editors/Ui_Table_View.h"

#include "editors/Table_Block.h"
#include "editors/Table_Model.h"
#include "editors/Table_Rows.h"
#include "editors/Ui_Table_Delegate.h"
#include "foundation/Workspace.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>

#include <limits>

namespace {
const QString Cells_Format = QStringLiteral("application/x-sw40610-cells");
}

Table_View::Table_View(Table_Model& Model_, const Workspace& Space_, QWidget* Parent)
    : QTableView(Parent), Table(Model_), Space(Space_)
{
    setModel(&Table);
    Delegate = new Table_Delegate(Table, Space, this);
    setItemDelegate(Delegate);
    // Blocks of cells, or whole rows by their header, go to and from spreadsheets.
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // A table made for typing: Tab and Shift+Tab go from cell to cell, check
    // boxes included, and Ctrl+Tab leaves the table, as table views do.
    setTabKeyNavigation(true);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                    | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setTextElideMode(Qt::ElideRight);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(24);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setHighlightSections(false);

    // Every header double-click goes through the user's auto-size setting,
    // the one on a section edge included.
    disconnect(horizontalHeader(), SIGNAL(sectionHandleDoubleClicked(int)), this, nullptr);
    connect(horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this,
            [this](int Section) { DblClickCell(0, Section + 1); });
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int Section) { DblClickCell(0, Section + 1); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& Index) { DblClickCell(Index.row() + 1, Index.column() + 1); });
    connect(&Table, &Table_Model::Column_Fit_Wanted, this, [this](int Column) { resizeColumnToContents(Column - 1); });
    connect(&Table, &Table_Model::Current_Cell_Changed, this, [this](int Row, int Column) {
        const QModelIndex Index = Table.index(Row - 1, Column - 1);
        if (currentIndex() != Index)
            setCurrentIndex(Index);
    });
    connect(Delegate, &Table_Delegate::Enter_Pressed, this, &Table_View::KeyPress);

    Corner = new QLabel(this);
    Corner->setObjectName(QStringLiteral("Corner"));
    Corner->setAlignment(Qt::AlignCenter);
    Corner->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (auto* Button = findChild<QAbstractButton*>()) {
        auto* Fill = new QHBoxLayout(Button);
        Fill->setContentsMargins(0, 0, 0, 0);
        Corner->setParent(Button);
        Fill->addWidget(Corner);
    } else {
        Corner->hide();
    }
    setCurrentIndex(Table.index(Table.Current_Row() - 1, Table.Current_Column() - 1));
}

void Table_View::Set_Corner_Text(const QString& Text) { Corner->setText(Text); }

void Table_View::Edit_Cell(int Row, int Column)
{
    const QModelIndex Index = Table.index(Row - 1, Column - 1);
    setCurrentIndex(Index);
    edit(Index);
}

void Table_View::currentChanged(const QModelIndex& Current, const QModelIndex& Previous)
{
    QTableView::currentChanged(Current, Previous);
    if (Current.isValid())
        Table.Set_Current(Current.row() + 1, Current.column() + 1);
}

bool Table_View::Leave_Table(QKeyEvent* Event)
{
    const bool Control = Event->modifiers().testFlag(Qt::ControlModifier);
    if (!Control || (Event->key() != Qt::Key_Tab && Event->key() != Qt::Key_Backtab))
        return false;
    const bool Back = Event->key() == Qt::Key_Backtab || Event->modifiers().testFlag(Qt::ShiftModifier);
    // The widget's own focus chain, not the cell navigation of the view.
    QWidget::focusNextPrevChild(!Back);
    return true;
}

void Table_View::Copy_Block()
{
    const QModelIndex Index = currentIndex();
    if (!Index.isValid())
        return;
    int Top = Index.row() + 1, Bottom = Top, Left = Index.column() + 1, Right = Left;
    const QModelIndexList Selected = selectionModel()->selectedIndexes();
    if (!Selected.isEmpty()) {
        Top = Left = std::numeric_limits<int>::max();
        Bottom = Right = 0;
        for (const QModelIndex& Item : Selected) {
            Top = std::min(Top, Item.row() + 1);
            Bottom = std::max(Bottom, Item.row() + 1);
            Left = std::min(Left, Item.column() + 1);
            Right = std::max(Right, Item.column() + 1);
        }
    }
    // Other programs get the plain text; a paste here reads the cells back
    // exactly, one cell with line breaks included.
    auto* Data = new QMimeData;
    Data->setText(Table_Block::Copy_Text(Table, Top, Left, Bottom, Right));
    Data->setData(Cells_Format, Table_Block::Copy_Text(Table, Top, Left, Bottom, Right, true).toUtf8());
    QGuiApplication::clipboard()->setMimeData(Data);
}

QString Table_View::Clipboard_Text() const
{
    const QMimeData* Data = QGuiApplication::clipboard()->mimeData();
    if (!Data)
        return {};
    if (Data->hasFormat(Cells_Format))
        return QString::fromUtf8(Data->data(Cells_Format));
    return Data->text();
}

void Table_View::Select_Whole_Text_In(int Row, int Column) { Table.Mark_Error_Cell(Row, Column); }

bool Table_View::event(QEvent* Event)
{
    // Ctrl+Tab would otherwise reach the dialog's own handling first.
    if (Event->type() == QEvent::KeyPress && Leave_Table(static_cast<QKeyEvent*>(Event)))
        return true;
    return QTableView::event(Event);
}

void Table_View::keyPressEvent(QKeyEvent* Event)
{
    if (Event->matches(QKeySequence::Copy)) {
        Copy_Block();
        Event->accept();
        return;
    }
    if (Event->matches(QKeySequence::Paste)) {
        emit Paste_Requested();
        Event->accept();
        return;
    }
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
        QChar Key(13);
        Enter_Next_Cell(Table, Key, Space.Enable_Jump_Field_Tables);
        if (Key.isNull()) {
            Event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(Event);
}

void Table_View::KeyPress()
{
    QChar Key(13);
    Enter_Next_Cell(Table, Key, Space.Enable_Jump_Field_Tables);
}

void Table_View::DblClickCell(int Row, int Column)
{
    Header_Auto_Size(Table, Row, Column, Space.Double_Click_Auto_Size);
}
