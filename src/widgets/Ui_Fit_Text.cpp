#include "widgets/Ui_Fit_Text.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace {
constexpr char Laid_Out_Property[] = "sw_laid_out_geometry";
} // namespace

int Text_Width(const QWidget* Control)
{
    const auto* Button = qobject_cast<const QPushButton*>(Control);
    if (!Button)
        return Control->sizeHint().width();
    if (Button->text().isEmpty() && Button->icon().isNull())
        return 0;
    // The style keeps a frame (and the default-button ring) around the
    // contents and a margin inside them; both are asked of the style itself.
    QStyleOptionButton Option;
    Option.initFrom(Button);
    Option.rect = QRect(0, 0, 1000, 100);
    if (Button->autoDefault() || Button->isDefault())
        Option.features |= QStyleOptionButton::AutoDefaultButton;
    QStyle* Look = Button->style();
    const int Frame = Option.rect.width() - Look->subElementRect(QStyle::SE_PushButtonContents, &Option, Button).width();
    int Contents = Button->fontMetrics().size(Qt::TextShowMnemonic, Button->text()).width();
    if (!Button->icon().isNull())
        Contents += Button->iconSize().width() + (Button->text().isEmpty() ? 0 : 4);
    return Contents + Frame + Look->pixelMetric(QStyle::PM_ButtonMargin, &Option, Button);
}

QRect Laid_Out_Geometry(QWidget* Control)
{
    const QVariant Stored = Control->property(Laid_Out_Property);
    if (Stored.isValid())
        return Stored.toRect();
    Control->setProperty(Laid_Out_Property, Control->geometry());
    return Control->geometry();
}

void Forget_Laid_Out_Geometry(QWidget* Control) { Control->setProperty(Laid_Out_Property, QVariant()); }

int Fit_Row_Left(const QList<QWidget*>& Row)
{
    if (Row.isEmpty())
        return 0;
    int X = Laid_Out_Geometry(Row.front()).x();
    int Previous_Right = X;
    for (QWidget* Control : Row) {
        const QRect Laid_Out = Laid_Out_Geometry(Control);
        if (Control != Row.front())
            X += Laid_Out.x() - Previous_Right;
        Previous_Right = Laid_Out.x() + Laid_Out.width();
        const int Width = std::max(Laid_Out.width(), Text_Width(Control));
        Control->setGeometry(X, Laid_Out.y(), Width, Laid_Out.height());
        X += Width;
    }
    return X;
}

int Fit_Row_Right(const QList<QWidget*>& Row, int Parent_Growth)
{
    if (Row.isEmpty())
        return 0;
    const QRect Last = Laid_Out_Geometry(Row.back());
    int Right = Last.x() + Last.width() + Parent_Growth;
    int Previous_Left = Last.x() + Last.width();
    for (auto It = Row.crbegin(); It != Row.crend(); ++It) {
        QWidget* Control = *It;
        const QRect Laid_Out = Laid_Out_Geometry(Control);
        Right -= Previous_Left - (Laid_Out.x() + Laid_Out.width());
        Previous_Left = Laid_Out.x();
        const int Width = std::max(Laid_Out.width(), Text_Width(Control));
        Control->setGeometry(Right - Width, Laid_Out.y(), Width, Laid_Out.height());
        Right -= Width;
    }
    return Right;
}

void Fit_Width(QWidget* Control, int Extra)
{
    const QRect Laid_Out = Laid_Out_Geometry(Control);
    Control->setGeometry(Laid_Out.x(), Laid_Out.y(), std::max(Laid_Out.width() + Extra, Text_Width(Control)),
                         Laid_Out.height());
}

void Widen_Window(QWidget* Window, int Extra)
{
    const int Width = Laid_Out_Geometry(Window).width() + std::max(0, Extra);
    if (Window->minimumWidth() == Window->maximumWidth())
        Window->setFixedWidth(Width);
    else if (Window->width() < Width)
        Window->resize(Width, Window->height());
}
