#pragma once

#include "checks/Variable_Placement.h"

#include <QWidget>

class Lang_Table;

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
    QSizeF Cell_Size() const;
    QRectF Cell_Rect_F(int Byte) const;
    QRectF Bit_Rect(int Byte, int Bit) const;
    void Paint_Labels(class QPainter& Painter) const;
    void Update_Description();

    const Lang_Table& Lang;
    Variable_Placement::Analysis Current;
};
