#include "widgets/Ui_Logo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap Make_Maker_Logo(int Width, int Height)
{
    QPixmap Logo(Width, Height);
    Logo.fill(Qt::transparent);
    QPainter Paint(&Logo);
    Paint.setRenderHint(QPainter::Antialiasing);

    const QRectF Mark(2, 2, Height - 4, Height - 4);
    QLinearGradient Fill(Mark.topLeft(), Mark.bottomRight());
    Fill.setColorAt(0, QColor(0x1F, 0x5F, 0xA8));
    Fill.setColorAt(1, QColor(0x0B, 0x2E, 0x5C));
    Paint.setPen(Qt::NoPen);
    Paint.setBrush(Fill);
    Paint.drawRoundedRect(Mark, Mark.width() / 5, Mark.height() / 5);

    // A "K" made of three strokes, with an orange spark where they meet.
    QPen Stroke(Qt::white, Mark.width() / 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    Paint.setPen(Stroke);
    const qreal L = Mark.left() + Mark.width() * 0.32;
    const qreal R = Mark.left() + Mark.width() * 0.72;
    const qreal T = Mark.top() + Mark.height() * 0.22;
    const qreal B = Mark.top() + Mark.height() * 0.78;
    const QPointF Joint(L + Mark.width() * 0.06, Mark.center().y());
    Paint.drawLine(QPointF(L, T), QPointF(L, B));
    Paint.drawLine(Joint, QPointF(R, T));
    Paint.drawLine(Joint, QPointF(R, B));
    Paint.setPen(Qt::NoPen);
    Paint.setBrush(QColor(0xF2, 0x8C, 0x28));
    Paint.drawEllipse(Joint, Mark.width() / 12, Mark.width() / 12);

    if (Width > Height + 8) {
        QFont Name = Paint.font();
        Name.setBold(true);
        Name.setPixelSize(Height * 3 / 10);
        Paint.setFont(Name);
        Paint.setPen(QColor(0x0B, 0x2E, 0x5C));
        Paint.drawText(QRectF(Height + 4, 0, Width - Height - 4, Height), Qt::AlignVCenter | Qt::AlignLeft,
                       QStringLiteral("KORVEX"));
    }
    return Logo;
}
