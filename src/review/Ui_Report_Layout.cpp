#include "review/Ui_Report_Layout.h"

#include "editors/Ui_Variable_Map.h"

#include <QFontMetricsF>

#include <algorithm>
#include <numeric>

namespace Review::Report_Layout {

namespace {

// The part of the page's width a column of wrapping text asks for, when its
// text is that long, before a column that cannot wrap is given more.
constexpr qreal Wrapping_Share = 0.2;

qreal Px(qreal Points, int Resolution) { return Points * Resolution / 72.0; }

qreal Advance(const QString& Text, const QFont& F, QPaintDevice* Device)
{
    return QFontMetricsF(F, Device).horizontalAdvance(Text);
}

QFont Scaled(const QFont& F, qreal Factor)
{
    QFont Smaller(F);
    Smaller.setPointSizeF(F.pointSizeF() * Factor);
    return Smaller;
}

QStringList Words(const QString& Text) { return Text.split(u' ', Qt::SkipEmptyParts); }

// The widest of Text's lines, or of its words.
qreal Widest(const QString& Text, const QFont& F, QPaintDevice* Device, bool By_Word)
{
    const QFontMetricsF M(F, Device);
    qreal Most = 0;
    for (const QString& Line : Text.split(u'\n'))
        for (const QString& Part : By_Word ? Words(Line) : QStringList{Line})
            Most = std::max(Most, M.horizontalAdvance(Part));
    return Most;
}

struct Fitted {
    QFont Font;
    QStringList Lines;
};

// Text in lines no wider than their room, in Font or, where a word (or, for
// a text that does not wrap, a line) is wider than its room, in type just
// small enough for it.
Fitted Fit(const QString& Text, QFont Font, bool Wrap, qreal Width, qreal First_Width, QPaintDevice* Device)
{
    Width = std::max<qreal>(Width, 1);
    First_Width = std::max<qreal>(First_Width, 1);
    for (int Round = 0;; ++Round) {
        const QStringList Lines =
            Wrap ? Wrap_At_Spaces(Text, Font, Device, Width, First_Width) : Text.split(u'\n');
        const QFontMetricsF M(Font, Device);
        qreal Worst = 1;
        for (qsizetype I = 0; I < Lines.size(); ++I) {
            const qreal Room = I == 0 ? First_Width : Width;
            const qreal Wide = M.horizontalAdvance(Lines[I]);
            if (Wide > Room)
                Worst = std::min(Worst, Room / Wide);
        }
        // However small a text must be set, it is set whole.
        if (Worst >= 1 || Round == 200)
            return {Font, Lines};
        Font = Scaled(Font, Worst * 0.98);
    }
}

class Flow {
public:
    Flow(const Page_Setup& Setup_, QPaintDevice* Device_) : Setup(Setup_), Device(Device_)
    {
        Start(QPageLayout::Portrait);
    }

    QList<Page> Pages;

    Page& Current() { return Pages.last(); }
    qreal Width() { return Current().Body.width(); }
    qreal Room() { return Current().Body.height() - Y; }
    bool Empty() { return Y == 0; }
    qreal Px(qreal Points) const { return Report_Layout::Px(Points, Setup.Resolution); }

    void Start(QPageLayout::Orientation Orientation)
    {
        Page Next;
        Next.Orientation = Orientation;
        const QRectF Rect = Paint_Rect(Setup, Orientation);
        Next.Body = QSizeF(Rect.width(), Rect.height() - Px(Setup.Foot_Mm * 72.0 / 25.4));
        Pages.append(Next);
        Y = 0;
    }
    void Next_Page() { Start(Current().Orientation); }
    void New_Page(QPageLayout::Orientation Orientation)
    {
        if (Empty())
            Pages.removeLast();
        Start(Orientation);
    }
    // Room for Height on this page, or the next page.
    void Need(qreal Height)
    {
        if (!Empty() && Height > Room())
            Next_Page();
    }
    void Gap(qreal Points)
    {
        if (!Empty())
            Y += Px(Points);
    }

    void Text_Lines(const Fitted& Text, qreal Indent, QColor Color, const QString& Lead = {},
                    const QFont& Lead_Font = {}, qreal Lead_Width = 0)
    {
        const QFontMetricsF M(Text.Font, Device);
        const QFontMetricsF L(Lead_Font, Device);
        for (qsizetype I = 0; I < Text.Lines.size(); ++I) {
            const qreal Ascent = I == 0 && !Lead.isEmpty() ? std::max(M.ascent(), L.ascent()) : M.ascent();
            const qreal Height = std::max(M.lineSpacing(), I == 0 && !Lead.isEmpty() ? L.lineSpacing() : 0);
            Need(Height);
            const QRectF Box(Indent, Y, Width() - Indent, Height);
            if (I == 0 && !Lead.isEmpty())
                Current().Lines.append({QPointF(Indent, Y + Ascent), Lead, Lead_Font, Color, Box});
            const qreal X = Indent + (I == 0 ? Lead_Width : 0);
            if (!Text.Lines[I].isEmpty())
                Current().Lines.append(
                    {QPointF(X, Y + Ascent), Text.Lines[I], Text.Font, Color, Box.adjusted(X - Indent, 0, 0, 0)});
            Y += Height;
        }
    }

    void Add_Heading(const Block& B)
    {
        const qreal Points = B.Level <= 1 ? 16 : B.Level == 2 ? 12 : 10;
        const Fitted Text = Fit(B.Text, Font(Points, true), true, Width(), Width(), Device);
        Gap(B.Level <= 2 ? 12 : 7);
        // Kept with the first lines of what follows.
        Need(QFontMetricsF(Text.Font, Device).lineSpacing() * Text.Lines.size() + Px(45));
        Text_Lines(Text, 0, B.Color);
        Y += Px(B.Level <= 2 ? 4 : 2);
    }

    void Add_Paragraph(const Block& B)
    {
        const qreal Indent = Px(B.Indent_Points);
        const QFont Body = Font(B.Points, false, B.Mono);
        if (B.Lead.isEmpty()) {
            Text_Lines(Fit(B.Text, Body, true, Width() - Indent, Width() - Indent, Device), Indent, B.Color);
        } else {
            const Fitted Lead = Fit(B.Lead, Font(B.Points, true), false, Width() - Indent, Width() - Indent, Device);
            const qreal Lead_Width = Advance(Lead.Lines.value(0) + u' ', Lead.Font, Device);
            Text_Lines(Fit(B.Text, Body, true, Width() - Indent, Width() - Indent - Lead_Width, Device), Indent,
                       B.Color, Lead.Lines.value(0), Lead.Font, Lead_Width);
        }
        Y += Px(B.Lead.isEmpty() && !B.Mono ? 3 : 1);
    }

    void Add_Map()
    {
        const QFont Map_Font = Font(Map_Font_Points);
        const qreal Margin = QFontMetricsF(Map_Font, Device).horizontalAdvance(QStringLiteral("00000"));
        // The editor's proportions: 16 by 14 for each byte cell.
        const qreal Height = (Width() - Margin) / Variable_Map::Cells_Per_Line * 14.0 / 16.0 * Variable_Map::Lines;
        Need(Height);
        Current().Map = QRectF(0, Y, Width(), Height);
        Current().Map_Margin = Margin;
        Y += Height + Px(7);
    }

    void Add_Table(const Table& T, int Number);

private:
    const Page_Setup& Setup;
    QPaintDevice* Device;
    qreal Y = 0;
};

// A row of a table as it is placed: its cells' texts fitted to their columns.
struct Placed_Row {
    QList<Fitted> Cells;
    QList<QString> Texts;
    qreal Ascent = 0;
    qreal Height = 0;
};

void Flow::Add_Table(const Table& T, int Number)
{
    qsizetype Count = T.Headers.size();
    for (const QStringList& Row : T.Rows)
        Count = std::max(Count, Row.size());
    const int Columns = int(Count);
    if (Columns == 0)
        return;
    const qreal Pad = Px(T.Borders ? 2 : 1);
    const QFont Head = Font(T.Points, true);
    const auto Body_Font = [&](int Column) { return Font(T.Points, Column == 0 && T.Bold_First_Column); };
    const auto Wraps = [&](int Column) { return T.Wraps.value(Column, false); };

    // Each column's width: Need with its words whole in the table's type,
    // Want with every value on one line.
    QList<qreal> Need_(Columns), Want(Columns);
    for (int C = 0; C < Columns; ++C) {
        const QString Header = T.Headers.value(C);
        const qreal Head_Word = Widest(Header, Head, Device, true);
        qreal Word = 0, Line = 0;
        QStringList Values;
        for (const QStringList& Row : T.Rows)
            Values.append(Row.value(C));
        if (C == 0)
            Values += T.Labels_Also;
        for (const QString& Value : std::as_const(Values)) {
            Word = std::max(Word, Widest(Value, Body_Font(C), Device, Wraps(C)));
            Line = std::max(Line, Widest(Value, Body_Font(C), Device, false));
        }
        Need_[C] = std::max(Head_Word, Word) + 2 * Pad;
        // A heading wraps at its spaces at no cost but once a page: only the values ask for more.
        Want[C] = std::max(Head_Word, Line) + 2 * Pad;
    }
    const qreal Full = Width();
    const auto Sum = [](const QList<qreal>& L) { return std::accumulate(L.cbegin(), L.cend(), qreal(0)); };
    // From widths Low, the rest of the room shared in proportion to what each
    // column still asks for up to High.
    const auto Share = [&](const QList<qreal>& Low, const QList<qreal>& High) {
        QList<qreal> Widths = Low;
        QList<qreal> Asks(Columns);
        for (int C = 0; C < Columns; ++C)
            Asks[C] = High[C] - Low[C];
        const qreal Asked = Sum(Asks);
        const qreal Left = Full - Sum(Low);
        for (int C = 0; C < Columns; ++C)
            Widths[C] += Asked > 0 ? Left * Asks[C] / Asked : Left / Columns;
        return Widths;
    };
    // A column that wraps asks for a fair part of the page before its text runs to many lines.
    QList<qreal> Ask(Columns);
    for (int C = 0; C < Columns; ++C)
        Ask[C] = Wraps(C) ? std::max(Need_[C], std::min(Want[C], Full * Wrapping_Share)) : Need_[C];
    QList<qreal> Widths;
    if (Sum(Want) <= Full && T.Bold_First_Column) {
        // Labels as wide as they ask, their values beside them.
        QList<qreal> Filled = Want;
        for (int C = 1; C < Columns; ++C)
            Filled[C] = Want[C] + (Full - Sum(Want)) / (Columns - 1);
        Widths = Columns > 1 ? Filled : QList<qreal>{Full};
    } else if (Sum(Want) <= Full) {
        QList<qreal> Filled(Columns);
        for (int C = 0; C < Columns; ++C)
            Filled[C] = Want[C] * Full / Sum(Want);
        Widths = Share(Want, Filled);
    } else if (Sum(Ask) <= Full) {
        Widths = Share(Ask, Want);
    } else if (Sum(Need_) <= Full) {
        Widths = Share(Need_, Ask);
    } else {
        // A text far wider than its share of the page (a long name): every
        // heading keeps its words in the table's type where the page allows,
        // the columns asking least are given what they ask, and the widest
        // share the rest, their text set as small as it takes.
        QList<qreal> Heads(Columns);
        for (int C = 0; C < Columns; ++C)
            Heads[C] = Widest(T.Headers.value(C), Head, Device, true) + 2 * Pad;
        Widths = Heads;
        if (Sum(Heads) > Full) {
            for (qreal& W : Widths)
                W *= Full / Sum(Heads);
        } else {
            QList<int> By_Ask(Columns);
            std::iota(By_Ask.begin(), By_Ask.end(), 0);
            std::ranges::sort(By_Ask, {}, [&](int C) { return Ask[C] - Heads[C]; });
            qreal Left = Full - Sum(Heads);
            for (int I = 0; I < Columns; ++I) {
                const int C = By_Ask[I];
                const qreal Given = std::min(std::max<qreal>(Ask[C] - Heads[C], 0), Left / (Columns - I));
                Widths[C] += Given;
                Left -= Given;
            }
            Widths[By_Ask.last()] += Left;
        }
    }

    const auto Place = [&](const QStringList& Texts, bool Heading) {
        Placed_Row Row;
        for (int C = 0; C < Columns; ++C) {
            const QString Text = Texts.value(C);
            const QFont Base = Heading ? Head : Body_Font(C);
            Row.Texts.append(Text);
            Row.Cells.append(Fit(Text, Base, Heading || Wraps(C), Widths[C] - 2 * Pad, Widths[C] - 2 * Pad, Device));
        }
        return Row;
    };
    const auto Measure = [&](Placed_Row& Row) {
        Row.Ascent = 0;
        qreal Below = 0;
        for (const Fitted& Cell : Row.Cells) {
            const QFontMetricsF M(Cell.Font, Device);
            Row.Ascent = std::max(Row.Ascent, M.ascent());
            Below = std::max(Below, M.lineSpacing() * (Cell.Lines.size() - 1) + M.descent());
        }
        Row.Height = Pad + Row.Ascent + Below + Pad;
    };
    Placed_Row Heading_Row;
    if (!T.Headers.isEmpty()) {
        Heading_Row = Place(T.Headers, true);
        Measure(Heading_Row);
    }
    const qreal Heading_Height = Heading_Row.Height;

    const auto Draw = [&](const Placed_Row& Row, int Row_Number) {
        qreal X = 0;
        for (int C = 0; C < Columns; ++C) {
            const QRectF Rect(X, Y, Widths[C], Row.Height);
            const QRectF Box = Rect.adjusted(Pad, Pad, -Pad, -Pad);
            const Fitted& Text = Row.Cells[C];
            const QFontMetricsF M(Text.Font, Device);
            for (qsizetype I = 0; I < Text.Lines.size(); ++I)
                if (!Text.Lines[I].isEmpty())
                    Current().Lines.append({QPointF(Box.left(), Box.top() + Row.Ascent + I * M.lineSpacing()),
                                            Text.Lines[I], Text.Font, Qt::black, Box});
            Current().Cells.append({Number, Row_Number, C, Row.Texts[C], Text.Lines, Text.Font, Rect});
            if (T.Borders)
                Current().Frames.append(Rect);
            if (Row_Number < 0)
                Current().Shaded.append(Rect);
            X += Widths[C];
        }
        Y += Row.Height;
    };

    bool First = true;
    for (qsizetype R = 0; R < T.Rows.size(); ++R) {
        Placed_Row Row = Place(T.Rows[R], false);
        Measure(Row);
        // A row taller than a whole page sets its text smaller until it fits one.
        const qreal Most = Current().Body.height() - Heading_Height;
        for (int Round = 0; Round < 40 && Row.Height > Most; ++Round) {
            for (int C = 0; C < Columns; ++C)
                Row.Cells[C] = Fit(Row.Texts[C], Scaled(Row.Cells[C].Font, 0.9), Wraps(C), Widths[C] - 2 * Pad,
                                   Widths[C] - 2 * Pad, Device);
            Measure(Row);
        }
        if (First || Row.Height > Room()) {
            if (!Empty() && Heading_Height + Row.Height > Room())
                Next_Page();
            if (!T.Headers.isEmpty())
                Draw(Heading_Row, -1);
        }
        First = false;
        Draw(Row, int(R));
    }
    if (T.Rows.isEmpty() && !T.Headers.isEmpty()) {
        Need(Heading_Height);
        Draw(Heading_Row, -1);
    }
    Y += Px(6);
}

} // namespace

Block Heading(const QString& Text, int Level)
{
    Block B;
    B.Kind = Block_Kind::Heading;
    B.Text = Text;
    B.Level = Level;
    return B;
}

Block Paragraph(const QString& Text, qreal Points, QColor Color)
{
    Block B;
    B.Text = Text;
    B.Points = Points;
    B.Color = Color;
    return B;
}

Block Detail(const QString& Lead, const QString& Text)
{
    Block B;
    B.Lead = Lead;
    B.Text = Text;
    B.Indent_Points = 9;
    return B;
}

Block Mono_Line(const QString& Text, qreal Points)
{
    Block B;
    B.Text = Text;
    B.Points = Points;
    B.Mono = true;
    B.Indent_Points = 9;
    return B;
}

Block Grid(Table Contents)
{
    Block B;
    B.Kind = Block_Kind::Table;
    B.Grid = std::move(Contents);
    return B;
}

Block Map()
{
    Block B;
    B.Kind = Block_Kind::Map;
    return B;
}

Block New_Page(QPageLayout::Orientation Orientation)
{
    Block B;
    B.Kind = Block_Kind::New_Page;
    B.Orientation = Orientation;
    return B;
}

QFont Font(qreal Points, bool Bold, bool Mono)
{
    QFont F(Mono ? QStringLiteral("DejaVu Sans Mono") : QStringLiteral("DejaVu Sans"));
    F.setPointSizeF(Points);
    F.setBold(Bold);
    F.setStyleStrategy(QFont::PreferNoShaping);
    return F;
}

QRectF Paint_Rect(const Page_Setup& Setup, QPageLayout::Orientation Orientation)
{
    const qreal M = Setup.Margin_Mm;
    const QPageLayout Layout(Setup.Size, Orientation, QMarginsF(M, M, M, M), QPageLayout::Millimeter);
    return QRectF(Layout.paintRectPixels(Setup.Resolution));
}

QStringList Wrap_At_Spaces(const QString& Text, const QFont& Font, QPaintDevice* Device, qreal Width,
                           qreal First_Width)
{
    const QFontMetricsF M(Font, Device);
    QStringList Lines;
    for (const QString& Part : Text.split(u'\n')) {
        QString Line;
        for (const QString& Word : Words(Part)) {
            const qreal Room = Lines.isEmpty() ? First_Width : Width;
            if (Line.isEmpty()) {
                // A word that fits only a whole line leaves the shorter first one empty.
                if (Lines.isEmpty() && M.horizontalAdvance(Word) > First_Width && M.horizontalAdvance(Word) <= Width)
                    Lines.append(QString());
                Line = Word;
            } else if (M.horizontalAdvance(Line + u' ' + Word) <= Room) {
                Line += u' ' + Word;
            } else {
                Lines.append(Line);
                Line = Word;
            }
        }
        Lines.append(Line);
    }
    return Lines;
}

QList<Page> Lay_Out(const QList<Block>& Blocks, const Page_Setup& Setup, QPaintDevice* Device)
{
    Flow Pages(Setup, Device);
    int Tables = 0;
    for (const Block& B : Blocks) {
        switch (B.Kind) {
        case Block_Kind::Heading: Pages.Add_Heading(B); break;
        case Block_Kind::Paragraph: Pages.Add_Paragraph(B); break;
        case Block_Kind::Table: Pages.Add_Table(B.Grid, Tables++); break;
        case Block_Kind::Map: Pages.Add_Map(); break;
        case Block_Kind::New_Page: Pages.New_Page(B.Orientation); break;
        }
    }
    return Pages.Pages;
}

} // namespace Review::Report_Layout
