#include "editors/Ui_Table_Delegate.h"

#include "editors/Table_Model.h"
#include "foundation/Workspace.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
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
    if (Model.Take_Error_Cell(Index.row() + 1, Index.column() + 1)) {
        if (auto* Line = qobject_cast<QLineEdit*>(Editor))
            Line->selectAll();
        else if (auto* Box = qobject_cast<QComboBox*>(Editor); Box && Box->lineEdit())
            Box->lineEdit()->selectAll();
        else if (auto* Multi = qobject_cast<QPlainTextEdit*>(Editor))
            Multi->selectAll();
    }
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

void Table_Delegate::initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const
{
    QStyledItemDelegate::initStyleOption(Option, Index);
    Dress_Cell(Option, Index);
}

void Table_Delegate::Dress_Cell(QStyleOptionViewItem*, const QModelIndex&) const {}
