#pragma once

#include "checks/Variable_Placement.h"

#include <QColor>
#include <QFont>
#include <QSizeF>
#include <QWidget>

class Lang_Table;
class QPainter;

// Where the map is drawn: its size, the width of the address column at its
// left, the font of the addresses and labels, the ground and text colours.
struct Variable_Map_Frame {
    QSizeF Size;
    qreal Margin = 0;
    QFont Font;
    QColor Ground;
    QColor Text;
};

// Draws the map of Result at the painter's origin, as the editor's map shows
// it; a report draws it on its page with the same code.
void Paint_Variable_Map(QPainter& Painter, const Variable_Placement::Analysis& Result, const Variable_Map_Frame& Frame);

// The internal data array drawn as a grid of byte cells: each variable a
// block in its own colour labelled with its row, a digital variable a mark on
// its bit, bytes where variables collide hatched in the warning colour. Its
// accessible description lists the findings.
class Variable_Map : public QWidget {
    Q_OBJECT
public:
    static constexpr int Cells_Per_Line = 64;
    static constexpr int Lines = (Variable_Placement::Array_Size + Cells_Per_Line - 1) / Cells_Per_Line;

    Variable_Map(const Lang_Table& Lang, QWidget* Parent = nullptr);

    void Set_Analysis(Variable_Placement::Analysis Result);
    const Variable_Placement::Analysis& Result() const { return Current; }
    // Texts follow the language table.
    void Set_Lang();

    // The byte under a point, -1 outside the grid.
    int Byte_At(QPoint Point) const;
    QRect Cell_Rect(int Byte) const;
    // What lies on a byte, as the hover shows it.
    QString Byte_Text(int Byte) const;
    // The row a click at Point makes current, 0 for a free byte.
    int Row_At(QPoint Point) const;

    QSize sizeHint() const override;

signals:
    void Row_Clicked(int Row);
    void Hovered(const QString& Text);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

private:
    int Margin() const;
    Variable_Map_Frame Frame() const;
    QSizeF Cell_Size() const;
    QRectF Cell_Rect_F(int Byte) const;
    QRectF Bit_Rect(int Byte, int Bit) const;
    void Update_Description();

    const Lang_Table& Lang;
    Variable_Placement::Analysis Current;
};
