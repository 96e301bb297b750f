#include "editors/Ui_Variable_Map.h"

#include "editors/Editor_Texts.h"
#include "foundation/Lang_Strings.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVarLengthArray>

#include <cmath>

namespace P = Variable_Placement;

namespace {

const QColor Warning_Colour(220, 30, 30);
const QColor Free_Colour(250, 250, 250);
const QColor Grid_Colour(200, 200, 200);

// Neighbouring rows get hues far apart; the band around the warning red is left out.
QColor Row_Colour(int Row)
{
    const int Hue = 30 + (Row * 97) % 300;
    return QColor::fromHsv(Hue, 95, 235);
}

// Bit 7 stands left, bit 0 right, as a byte is written.
int Bit_Slot(int Bit) { return 7 - Bit; }

constexpr int Cells_Per_Line = Variable_Map::Cells_Per_Line;
constexpr int Lines = Variable_Map::Lines;

QSizeF Cell_Size(const Variable_Map_Frame& Frame)
{
    return {(Frame.Size.width() - Frame.Margin - 1) / Cells_Per_Line, (Frame.Size.height() - 1) / Lines};
}

QRectF Cell_Rect_F(const Variable_Map_Frame& Frame, int Byte)
{
    const QSizeF Size = Cell_Size(Frame);
    return {Frame.Margin + (Byte % Cells_Per_Line) * Size.width(), (Byte / Cells_Per_Line) * Size.height(),
            Size.width(), Size.height()};
}

QRectF Bit_Rect(const Variable_Map_Frame& Frame, int Byte, int Bit)
{
    const QRectF Cell = Cell_Rect_F(Frame, Byte);
    const qreal Width = Cell.width() / 8;
    return {Cell.left() + Bit_Slot(Bit) * Width, Cell.top(), Width, Cell.height()};
}

} // namespace

Variable_Map::Variable_Map(const Lang_Table& Lang_, QWidget* Parent) : QWidget(Parent), Lang(Lang_)
{
    setObjectName(QStringLiteral("Map_Data_Array"));
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Set_Lang();
}

void Variable_Map::Set_Analysis(P::Analysis Result)
{
    Current = std::move(Result);
    Update_Description();
    update();
}

void Variable_Map::Set_Lang()
{
    setAccessibleName(Lang[Variables_Text::Map_Title]);
    Update_Description();
}

void Variable_Map::Update_Description()
{
    QStringList Lines = P::Finding_Texts(Current, Lang);
    if (Lines.isEmpty())
        Lines.append(Lang[Variables_Text::Map_No_Findings]);
    Lines.append(P::Free_Text(Current, Lang));
    setAccessibleDescription(Lines.join(u'\n'));
}

QSize Variable_Map::sizeHint() const { return {44 + Cells_Per_Line * 16, Lines * 14}; }

int Variable_Map::Margin() const { return fontMetrics().horizontalAdvance(QStringLiteral("00000")); }

Variable_Map_Frame Variable_Map::Frame() const
{
    // Whole pixels, as the widget is laid out.
    return {QSizeF(width(), height()), static_cast<qreal>(Margin()), font(), palette().color(QPalette::Window),
            palette().color(QPalette::WindowText)};
}

QSizeF Variable_Map::Cell_Size() const { return ::Cell_Size(Frame()); }

QRectF Variable_Map::Cell_Rect_F(int Byte) const { return ::Cell_Rect_F(Frame(), Byte); }

QRect Variable_Map::Cell_Rect(int Byte) const { return Cell_Rect_F(Byte).toAlignedRect(); }

QRectF Variable_Map::Bit_Rect(int Byte, int Bit) const { return ::Bit_Rect(Frame(), Byte, Bit); }

int Variable_Map::Byte_At(QPoint Point) const
{
    const QSizeF Size = Cell_Size();
    if (Point.x() < Margin() || Point.y() < 0 || Size.width() <= 0 || Size.height() <= 0)
        return -1;
    const int Column = static_cast<int>((Point.x() - Margin()) / Size.width());
    const int Line = static_cast<int>(Point.y() / Size.height());
    if (Column >= Cells_Per_Line || Line >= Lines)
        return -1;
    const int Byte = Line * Cells_Per_Line + Column;
    return Byte < P::Array_Size ? Byte : -1;
}

int Variable_Map::Row_At(QPoint Point) const
{
    const int Byte = Byte_At(Point);
    if (Byte < 0)
        return 0;
    const QList<int>& Users = Current.Users[static_cast<size_t>(Byte)];
    if (Users.isEmpty())
        return 0;
    // On a byte shared by digital variables, the one whose bit was hit.
    for (int Index : Users) {
        const P::Placed_Variable& Item = Current.Variables[Index];
        if (Item.Bit >= 0 && Bit_Rect(Byte, Item.Bit).contains(Point))
            return Item.Row;
    }
    return Current.Variables[Users.constFirst()].Row;
}

QString Variable_Map::Byte_Text(int Byte) const
{
    if (Byte < 0 || Byte >= P::Array_Size)
        return {};
    const QList<int>& Users = Current.Users[static_cast<size_t>(Byte)];
    if (Users.isEmpty())
        return Lang[Variables_Text::Map_Free_Byte].arg(Byte);
    QStringList Lines;
    for (int Index : Users) {
        const P::Placed_Variable& Item = Current.Variables[Index];
        const QString Place = Item.Bit >= 0 ? Lang[Variables_Text::Map_Bit_Of_Byte].arg(Item.Bit).arg(Item.First)
                                            : P::Bytes_Text(Item.First, Item.Last, Lang);
        Lines.append(Lang[Variables_Text::Map_Variable].arg(QString::number(Item.Row), Item.Name, Place));
    }
    return Lang[Variables_Text::Map_Byte].arg(Byte) + u' ' + Lines.join(QStringLiteral("; "));
}

void Variable_Map::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    Paint_Variable_Map(Painter, Current, Frame());
}

namespace {

// Each block is outlined and labelled with its row on every line it spans.
void Paint_Labels(QPainter& Painter, const P::Analysis& Current, const Variable_Map_Frame& Frame)
{
    QFont Small = Frame.Font;
    Small.setPixelSize(std::max(7, static_cast<int>(Cell_Size(Frame).height()) - 4));
    Painter.setFont(Small);
    for (const P::Placed_Variable& Item : Current.Variables) {
        const qint64 Last = std::min<qint64>(Item.Last, P::Array_Size - 1);
        for (qint64 Start = Item.First; Start <= Last;) {
            const qint64 End = std::min<qint64>(Last, (Start / Cells_Per_Line + 1) * Cells_Per_Line - 1);
            const QRectF Block =
                Cell_Rect_F(Frame, static_cast<int>(Start)).united(Cell_Rect_F(Frame, static_cast<int>(End)));
            const QList<int>& Users = Current.Users[static_cast<size_t>(Start)];
            if (Item.Bit < 0) {
                Painter.setPen(QPen(Row_Colour(Item.Row).darker(170), 1));
                Painter.drawRect(Block.adjusted(0.5, 0.5, -0.5, -0.5));
            }
            // A byte several digital variables share is labelled by its hover text only.
            if (Item.Bit < 0 || Users.size() == 1) {
                Painter.setPen(Qt::black);
                Painter.drawText(Block, Qt::AlignCenter, QString::number(Item.Row));
            }
            Start = End + 1;
        }
    }
}

} // namespace

void Paint_Variable_Map(QPainter& Painter, const P::Analysis& Current, const Variable_Map_Frame& Frame)
{
    Painter.setFont(Frame.Font);
    Painter.fillRect(QRectF(QPointF(0, 0), Frame.Size), Frame.Ground);
    Painter.setPen(Frame.Text);
    const QSizeF Size = Cell_Size(Frame);
    for (int Line = 0; Line < Lines; ++Line)
        Painter.drawText(QRectF(0, Line * Size.height(), Frame.Margin - 4, Size.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(Line * Cells_Per_Line));

    // Free bytes are the grid's ground; only bytes in use are painted over it.
    const QRectF Grid_Area = Cell_Rect_F(Frame, 0).united(Cell_Rect_F(Frame, P::Array_Size - 1));
    Painter.fillRect(QRectF(Grid_Area.topLeft(), QSizeF(Cells_Per_Line * Size.width(), Grid_Area.height())),
                     Free_Colour);
    for (int Byte = 0; Byte < P::Array_Size; ++Byte) {
        const QList<int>& Users = Current.Users[static_cast<size_t>(Byte)];
        if (Users.isEmpty())
            continue;
        const QRectF Cell = Cell_Rect_F(Frame, Byte);
        bool Digital_Only = true;
        for (int Index : Users)
            Digital_Only = Digital_Only && Current.Variables[Index].Bit >= 0;
        if (Digital_Only) {
            // A digital variable takes one bit: the byte stays pale, the bit is marked.
            QList<int> Bits_Used;
            for (int Index : Users) {
                const P::Placed_Variable& Item = Current.Variables[Index];
                const bool Twice = Bits_Used.contains(Item.Bit);
                Bits_Used.append(Item.Bit);
                Painter.fillRect(Bit_Rect(Frame, Byte, Item.Bit),
                                 Twice ? Warning_Colour : Row_Colour(Item.Row).darker(130));
            }
        } else if (Current.Collides[static_cast<size_t>(Byte)]) {
            Painter.fillRect(Cell, Warning_Colour);
            Painter.fillRect(Cell, QBrush(Qt::white, Qt::BDiagPattern));
        } else {
            Painter.fillRect(Cell, Row_Colour(Current.Variables[Users.constFirst()].Row));
        }
    }
    // The grid lines, drawn once for all cells.
    Painter.setPen(Grid_Colour);
    QVarLengthArray<QLineF, 128> Grid_Lines;
    const int Full_Lines = P::Array_Size / Cells_Per_Line;
    const int Rest = P::Array_Size % Cells_Per_Line;
    const qreal Left = Frame.Margin;
    const qreal Right = Left + Cells_Per_Line * Size.width();
    for (int Line = 0; Line <= Lines; ++Line) {
        const qreal Y = Line * Size.height();
        const qreal End = Line <= Full_Lines ? Right : Left + Rest * Size.width();
        Grid_Lines.append(QLineF(Left, Y, Line == Lines && Rest ? Left + Rest * Size.width() : End, Y));
    }
    for (int Column = 0; Column <= Cells_Per_Line; ++Column) {
        const qreal X = Left + Column * Size.width();
        const int Depth = Column <= Rest ? Lines : Full_Lines;
        Grid_Lines.append(QLineF(X, 0, X, Depth * Size.height()));
    }
    Painter.drawLines(Grid_Lines.constData(), static_cast<int>(Grid_Lines.size()));
    Paint_Labels(Painter, Current, Frame);
}

void Variable_Map::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(Event);
    if (const int Row = Row_At(Event->position().toPoint()))
        emit Row_Clicked(Row);
}

void Variable_Map::mouseMoveEvent(QMouseEvent* Event)
{
    const QString Text = Byte_Text(Byte_At(Event->position().toPoint()));
    if (Text != toolTip()) {
        setToolTip(Text);
        emit Hovered(Text);
    }
    QWidget::mouseMoveEvent(Event);
}

void Variable_Map::leaveEvent(QEvent* Event)
{
    setToolTip(QString());
    emit Hovered(QString());
    QWidget::leaveEvent(Event);
}
