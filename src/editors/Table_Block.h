#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <expected>

class Table_Model;

// Blocks of data cells to and from the tab-separated text spreadsheet
// programs put on the clipboard: cells split by tabs, rows by line breaks, a
// cell that holds a tab, a line break or a leading quote written in quotes
// with its quotes doubled.
namespace Table_Block {

// The cells of rows Top..Bottom and columns Left..Right (data cells); a
// check box as "Y" or "N". One cell alone is its text as it stands, unless
// Always_Quoted asks for the form that reads back as one cell whatever it holds.
QString Copy_Text(const Table_Model& Table, int Top, int Left, int Bottom, int Right, bool Always_Quoted = false);

// The lines of a tab-separated text and the cells of each; a line break at
// the very end ends the last line and starts none.
QList<QStringList> Parse(const QString& Text);

// Why a paste changes nothing: Line and Cell are 1-based places in the pasted
// text, Column the table column it would have reached.
struct Refusal {
    enum Reason { Past_Last_Row, Past_Last_Column, Refused_Value };
    Reason Why = Refused_Value;
    int Line = 0;
    int Cell = 0;
    int Column = 0;
    QString Value;
};

// What a paste writes, each value as the column stores it.
struct Plan {
    int Row = 1;
    int Column = 1;
    QList<QStringList> Values;
    // Text cells that hold something and would get another text.
    int Overwritten = 0;
    int Height() const { return static_cast<int>(Values.size()); }
    int Width() const;
};

// The values of Lines placed from data cell (Row, Column) to the right and
// down. Check boxes take Y/N/1/0/true/false/x (or nothing for unchecked),
// pick lists only their items, matched ignoring case and blanks; nothing may
// reach past the last row or column.
std::expected<Plan, Refusal> Prepare(const Table_Model& Table, int Row, int Column, const QList<QStringList>& Lines);
// The clipboard's text as lines for a paste at (Row, Column): a text without
// tabs that does not read as one cell is, pasted on a multi-line cell, that
// one cell's text.
QList<QStringList> Lines_For(const Table_Model& Table, int Column, const QString& Text);
void Apply(Table_Model& Table, const Plan& Paste);

// Whether data cell (Row, Column) is a check box.
bool Is_Box(const Table_Model& Table, int Row, int Column);

} // namespace Table_Block
