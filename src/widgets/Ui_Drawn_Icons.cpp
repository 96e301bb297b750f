#include "widgets/Ui_Drawn_Icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

// Draws into a 24 x 24 square; the painter is scaled to the requested size.
using Drawing = std::function<void(QPainter&, QIcon::Mode)>;

class Drawn_Engine : public QIconEngine {
public:
    explicit Drawn_Engine(Drawing Draw_) : Draw(std::move(Draw_)) {}

    void paint(QPainter* Painter, const QRect& Rect, QIcon::Mode Mode, QIcon::State) override
    {
        Painter->save();
        Painter->setRenderHint(QPainter::Antialiasing);
        const int Side = qMin(Rect.width(), Rect.height());
        Painter->translate(Rect.x() + (Rect.width() - Side) / 2.0, Rect.y() + (Rect.height() - Side) / 2.0);
        Painter->scale(Side / 24.0, Side / 24.0);
        Draw(*Painter, Mode);
        Painter->restore();
    }

    QPixmap pixmap(const QSize& Size, QIcon::Mode Mode, QIcon::State State) override
    {
        return scaledPixmap(Size, Mode, State, 1.0);
    }

    // Size counts device pixels; Scale is the pixel ratio the picture is shown at.
    QPixmap scaledPixmap(const QSize& Size, QIcon::Mode Mode, QIcon::State State, qreal Scale) override
    {
        QPixmap Picture(Size);
        Picture.fill(Qt::transparent);
        Picture.setDevicePixelRatio(Scale);
        QPainter Painter(&Picture);
        paint(&Painter, QRect(QPoint(0, 0), (QSizeF(Size) / Scale).toSize()), Mode, State);
        return Picture;
    }

    QIconEngine* clone() const override { return new Drawn_Engine(Draw); }

private:
    Drawing Draw;
};

// Disabled icons are grey, whatever their colour.
QColor Ink(QIcon::Mode Mode, const QColor& Colour)
{
    return Mode == QIcon::Disabled ? QColor(150, 150, 150) : Colour;
}

QIcon Make(Drawing Draw) { return QIcon(new Drawn_Engine(std::move(Draw))); }

} // namespace

namespace Drawn_Icons {

QIcon Information()
{
    return Make([](QPainter& P, QIcon::Mode Mode) {
        P.setPen(Qt::NoPen);
        P.setBrush(Ink(Mode, QColor(35, 100, 200)));
        P.drawEllipse(QRectF(1.5, 1.5, 21, 21));
        P.setBrush(Qt::white);
        P.drawEllipse(QRectF(10.4, 5.2, 3.2, 3.2));
        P.drawRoundedRect(QRectF(10.5, 10, 3, 9), 1, 1);
    });
}

QIcon Options()
{
    return Make([](QPainter& P, QIcon::Mode Mode) {
        const QColor Colour = Ink(Mode, QColor(60, 60, 60));
        P.setPen(QPen(Colour, 1.5));
        P.setBrush(Qt::NoBrush);
        P.drawRoundedRect(QRectF(2.75, 2.75, 18.5, 18.5), 2.5, 2.5);
        P.setPen(QPen(Colour, 2, Qt::SolidLine, Qt::RoundCap));
        for (const qreal Y : {7.5, 12.0, 16.5})
            P.drawLine(QPointF(7, Y), QPointF(17, Y));
    });
}

QIcon Close()
{
    return Make([](QPainter& P, QIcon::Mode Mode) {
        P.setPen(QPen(Ink(Mode, QColor(40, 40, 40)), 3, Qt::SolidLine, Qt::RoundCap));
        P.drawLine(QPointF(5.5, 5.5), QPointF(18.5, 18.5));
        P.drawLine(QPointF(18.5, 5.5), QPointF(5.5, 18.5));
    });
}

} // namespace Drawn_Icons
