#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPaintDevice;

// The report's pages laid out before anything is drawn: what it says comes
// in as blocks (headings, paragraphs, tables, the data-array map) in reading
// order, and leaves as pages of lines of text, each with the rectangle it must
// stay inside. No word is ever broken: text wraps at spaces only, where its
// block allows it at all, and a word wider than its room is set in smaller
// type instead. A table row stays on one page, and a table's heading row is
// repeated at the top of every page it continues on.
namespace Review::Report_Layout {

// A table: its heading row (none when empty) and its rows of texts. A value
// wraps at spaces only in the columns marked so; a line break in a value is
// kept. The columns are as wide as their contents ask, within the page.
struct Table {
    QStringList Headers;
    QList<QStringList> Rows;
    QList<bool> Wraps;  // by column; a column not listed does not wrap
    qreal Points = 9;
    bool Bold_First_Column = false;  // a column of labels
    // Labels of the tables beside this one, measured with its own so that
    // their label columns line up.
    QStringList Labels_Also;
    bool Borders = true;
};

enum class Block_Kind {
    Heading,    // Level 1 to 3; kept with what follows it
    Paragraph,  // wraps at spaces; Lead, if any, stands before it in bold
    Table,
    Map,        // the data-array map: the width of the body, its height from the width
    New_Page,   // what follows starts a page of this orientation
};

struct Block {
    Block_Kind Kind = Block_Kind::Paragraph;
    QString Text;
    QString Lead;
    int Level = 2;
    qreal Points = 9;
    bool Mono = false;
    qreal Indent_Points = 0;
    QColor Color = Qt::black;
    Report_Layout::Table Grid;
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
};

// Block makers, so that a report reads as the list of its parts.
Block Heading(const QString& Text, int Level = 2);
Block Paragraph(const QString& Text, qreal Points = 9, QColor Color = Qt::black);
Block Detail(const QString& Lead, const QString& Text);
Block Mono_Line(const QString& Text, qreal Points = 7);
Block Grid(Table Contents);
Block Map();
Block New_Page(QPageLayout::Orientation Orientation);

// One line of text placed on a page: drawn from its baseline, it stays
// inside Box (the inner rectangle of its table cell, or the page's body).
struct Line {
    QPointF Baseline;
    QString Text;
    QFont Font;
    QColor Color = Qt::black;
    QRectF Box;
};

// A table cell as placed: the texts it was given and the lines they became.
struct Cell {
    int Table = 0;     // the table's number among the report's tables, from 0
    int Row = -1;      // -1 for the heading row
    int Column = 0;
    QString Text;
    QStringList Lines;
    QFont Font;
    QRectF Rect;       // with its border
};

struct Page {
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    QSizeF Body;           // the room above the foot, in device pixels
    QList<Line> Lines;
    QList<Cell> Cells;
    QList<QRectF> Frames;  // cell borders
    QList<QRectF> Shaded;  // heading cells
    QRectF Map;            // where the map goes, empty when not on this page
    qreal Map_Margin = 0;  // the width of the map's address column
};

struct Page_Setup {
    QPageSize Size = QPageSize(QPageSize::A4);
    qreal Margin_Mm = 15;
    qreal Foot_Mm = 10;  // kept free at the foot of every page
    int Resolution = 300;
};

// The report's font: without ligatures, so that "fi" stays two letters for a
// reader who searches or copies the text.
QFont Font(qreal Points, bool Bold = false, bool Mono = false);
inline constexpr qreal Map_Font_Points = 7;

// The printable rectangle of a page, in device pixels at the setup's resolution.
QRectF Paint_Rect(const Page_Setup& Setup, QPageLayout::Orientation Orientation);

// Lays out Blocks on pages; texts are measured on Device, which draws them
// later at the setup's resolution.
QList<Page> Lay_Out(const QList<Block>& Blocks, const Page_Setup& Setup, QPaintDevice* Device);

// Text set in Font wrapped at spaces into lines no wider than Width (the
// first line First_Width); a word wider than its line stands alone on it.
QStringList Wrap_At_Spaces(const QString& Text, const QFont& Font, QPaintDevice* Device, qreal Width,
                           qreal First_Width);

} // namespace Review::Report_Layout
