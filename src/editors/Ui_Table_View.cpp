#include "editors/Ui_Table_View.h"

#include "editors/Table_Model.h"
#include "editors/Table_Rows.h"
#include "foundation/Workspace.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <limits>

namespace {

const char* const Shown_Property = "Shown_Text";

QStyle* Style_Of(const QStyleOptionViewItem& Option)
{
    return Option.widget ? Option.widget->style() : QApplication::style();
}

// The check box drawn in the middle of its cell.
QRect Check_Rect(const QStyleOptionViewItem& Option)
{
    QStyleOptionViewItem Probe(Option);
    Probe.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QSize Size =
        Style_Of(Option)->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &Probe, Option.widget).size();
    QRect Box(QPoint(0, 0), Size);
    Box.moveCenter(Option.rect.center());
    return Box;
}

QString Editor_Text(QWidget* Editor)
{
    if (auto* Box = qobject_cast<QComboBox*>(Editor))
        return Box->currentText();
    if (auto* Text = qobject_cast<QPlainTextEdit*>(Editor)) {
        // The raw text: toPlainText() would turn non-breaking spaces into blanks.
        QString Raw = Text->document()->toRawText();
        Raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        Raw.replace(QChar::LineSeparator, QLatin1Char('\n'));
        return Raw;
    }
    if (auto* Line = qobject_cast<QLineEdit*>(Editor))
        return Line->text();
    return {};
}

} // namespace

Table_Delegate::Table_Delegate(Table_Model& Model_, const Workspace& Space_, QObject* Parent)
    : QStyledItemDelegate(Parent), Model(Model_), Space(Space_)
{
}

bool Table_Delegate::Is_Check_Cell(const QModelIndex& Index) const
{
    return Model.flags(Index).testFlag(Qt::ItemIsUserCheckable);
}

QWidget* Table_Delegate::createEditor(QWidget* Parent, const QStyleOptionViewItem& Option,
                                      const QModelIndex& Index) const
{
    const int Column = Index.column() + 1;
    QWidget* Editor = nullptr;
    switch (Model.Kind_Of(Column)) {
    case Column_Kind::Pick_List:
    case Column_Kind::Editable_Pick_List: {
        auto* Box = new QComboBox(Parent);
        Box->setEditable(Model.Kind_Of(Column) == Column_Kind::Editable_Pick_List);
        Box->addItems(Model.Pick_Items(Column));
        if (!Box->isEditable()) {
            // A choice ends the editing at once, as a pick list in a grid does.
            connect(Box, &QComboBox::activated, this, [this, Box] {
                emit const_cast<Table_Delegate*>(this)->commitData(Box);
                emit const_cast<Table_Delegate*>(this)->closeEditor(Box);
            });
        }
        Editor = Box;
        break;
    }
    case Column_Kind::Multi_Line_Text: {
        auto* Text = new QPlainTextEdit(Parent);
        Text->setLineWrapMode(QPlainTextEdit::NoWrap);
        Text->setTabChangesFocus(true);
        Text->setFrameShape(QFrame::Box);
        Editor = Text;
        break;
    }
    default:
        Editor = QStyledItemDelegate::createEditor(Parent, Option, Index);
        // No cut at the line edit's default 32767 characters: a cell holds text of any length.
        if (auto* Line = qobject_cast<QLineEdit*>(Editor))
            Line->setMaxLength(std::numeric_limits<int>::max());
        break;
    }
    if (Editor) {
        Editor->setObjectName(QStringLiteral("Cell_Editor"));
        Editor->setAccessibleName(Model.Cell(0, Column));
    }
    return Editor;
}

void Table_Delegate::setEditorData(QWidget* Editor, const QModelIndex& Index) const
{
    const QString Text = Model.Cell(Index.row() + 1, Index.column() + 1);
    if (auto* Box = qobject_cast<QComboBox*>(Editor)) {
        int Found = Box->findText(Text, Qt::MatchExactly);
        if (Box->isEditable()) {
            Box->setCurrentIndex(Found);
            Box->setEditText(Text);
        } else {
            // A value the list does not offer stays as it is until the user picks another.
            if (Found < 0 && !Text.isEmpty()) {
                Box->insertItem(0, Text);
                Found = 0;
            }
            Box->setCurrentIndex(Found);
        }
    } else if (auto* Multi = qobject_cast<QPlainTextEdit*>(Editor)) {
        Multi->setPlainText(Text);
    } else {
        QStyledItemDelegate::setEditorData(Editor, Index);
    }
    Editor->setProperty(Shown_Property, Editor_Text(Editor));
}

void Table_Delegate::setModelData(QWidget* Editor, QAbstractItemModel* Target, const QModelIndex& Index) const
{
    // An editor that was only opened and closed leaves the cell exactly as it
    // was, even where it cannot show the text faithfully (line breaks, CR LF).
    const QString Text = Editor_Text(Editor);
    if (Text == Editor->property(Shown_Property).toString())
        return;
    Target->setData(Index, Text, Qt::EditRole);
}

void Table_Delegate::updateEditorGeometry(QWidget* Editor, const QStyleOptionViewItem& Option,
                                          const QModelIndex& Index) const
{
    if (!qobject_cast<QPlainTextEdit*>(Editor)) {
        QStyledItemDelegate::updateEditorGeometry(Editor, Option, Index);
        return;
    }
    // A certificate needs room: the editor opens on the cell and grows below
    // it, kept inside the table.
    const QWidget* Port = Editor->parentWidget();
    QRect Area(Option.rect.topLeft(), QSize(qMax(Option.rect.width(), 360), 220));
    if (Port) {
        Area.setWidth(qMin(Area.width(), Port->width()));
        Area.setHeight(qMin(Area.height(), Port->height()));
        if (Area.right() >= Port->width())
            Area.moveRight(Port->width() - 1);
        if (Area.bottom() >= Port->height())
            Area.moveBottom(Port->height() - 1);
        if (Area.top() < 0)
            Area.moveTop(0);
    }
    Editor->setGeometry(Area);
}

void Table_Delegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const
{
    if (!Is_Check_Cell(Index)) {
        QStyledItemDelegate::paint(Painter, Option, Index);
        return;
    }
    QStyleOptionViewItem Cell(Option);
    initStyleOption(&Cell, Index);
    const bool On = Cell.checkState == Qt::Checked;
    Cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    Cell.text.clear();
    QStyle* Style = Style_Of(Option);
    Style->drawControl(QStyle::CE_ItemViewItem, &Cell, Painter, Option.widget);
    QStyleOptionViewItem Box(Option);
    Box.rect = Check_Rect(Option);
    Box.state &= ~QStyle::State_HasFocus;
    Box.state |= On ? QStyle::State_On : QStyle::State_Off;
    Style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &Box, Painter, Option.widget);
}

bool Table_Delegate::editorEvent(QEvent* Event, QAbstractItemModel* Target, const QStyleOptionViewItem& Option,
                                 const QModelIndex& Index)
{
    if (!Is_Check_Cell(Index))
        return QStyledItemDelegate::editorEvent(Event, Target, Option, Index);
    const auto Toggle = [&] {
        const bool On = Target->data(Index, Qt::CheckStateRole).toInt() == Qt::Checked;
        return Target->setData(Index, On ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    };
    switch (Event->type()) {
    case QEvent::MouseButtonRelease: {
        auto* Mouse = static_cast<QMouseEvent*>(Event);
        if (Mouse->button() != Qt::LeftButton || !Check_Rect(Option).contains(Mouse->position().toPoint()))
            return false;
        return Toggle();
    }
    case QEvent::MouseButtonDblClick: {
        auto* Mouse = static_cast<QMouseEvent*>(Event);
        return Check_Rect(Option).contains(Mouse->position().toPoint());
    }
    case QEvent::KeyPress: {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key != Qt::Key_Space && Key != Qt::Key_Select)
            return false;
        return Toggle();
    }
    default: return false;
    }
}

bool Table_Delegate::eventFilter(QObject* Editor, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress && Space.Enable_Jump_Field_Tables
        && !qobject_cast<QPlainTextEdit*>(Editor)) {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            auto* Widget = qobject_cast<QWidget*>(Editor);
            emit commitData(Widget);
            emit closeEditor(Widget, QAbstractItemDelegate::NoHint);
            emit Enter_Pressed();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(Editor, Event);
}

Table_View::Table_View(Table_Model& Model_, const Workspace& Space_, QWidget* Parent)
    : QTableView(Parent), Table(Model_), Space(Space_)
{
    setModel(&Table);
    Delegate = new Table_Delegate(Table, Space, this);
    setItemDelegate(Delegate);
    setSelectionMode(QAbstractItemView::SingleSelection);
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

void Table_View::Copy_Cell()
{
    const QModelIndex Index = currentIndex();
    if (!Index.isValid())
        return;
    const int Row = Index.row() + 1;
    const int Column = Index.column() + 1;
    const bool Box = Table.flags(Index).testFlag(Qt::ItemIsUserCheckable);
    const QString Text = !Box ? Table.Cell(Row, Column)
                              : (Index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStringLiteral("Y")
                                                                                         : QStringLiteral("N"));
    QGuiApplication::clipboard()->setText(Text);
}

void Table_View::Paste_Cell()
{
    const QModelIndex Index = currentIndex();
    if (!Index.isValid())
        return;
    const QString Text = QGuiApplication::clipboard()->text();
    if (!Table.flags(Index).testFlag(Qt::ItemIsUserCheckable)) {
        Table.setData(Index, Text, Qt::EditRole);
        return;
    }
    // A check box takes only what Ctrl+C gives for one.
    if (Text == QLatin1String("Y") || Text == QLatin1String("N"))
        Table.setData(Index, Text == QLatin1String("Y") ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

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
        Copy_Cell();
        Event->accept();
        return;
    }
    if (Event->matches(QKeySequence::Paste)) {
        Paste_Cell();
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
