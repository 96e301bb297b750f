#include "widgets/Ui_Dialog_Place.h"

#include <QDialog>
#include <QEvent>
#include <QScreen>

void Keep_On_Screen(QWidget* Window)
{
    const QScreen* On = Window->screen();
    if (!Window->isVisible() || !On)
        return;
    const QRect Available = On->availableGeometry();
    const QRect Frame = Window->frameGeometry();
    int Shift = 0;
    if (Frame.bottom() > Available.bottom())
        Shift = Available.bottom() - Frame.bottom();
    if (Frame.top() + Shift < Available.top())
        Shift = Available.top() - Frame.top();
    if (Shift != 0)
        Window->move(Window->pos() + QPoint(0, Shift));
}

Dialog_Place::Dialog_Place(QDialog* Dialog_) : QObject(Dialog_), Dialog(Dialog_) { Dialog->installEventFilter(this); }

QPoint Dialog_Place::Owner_Position() const
{
    const QWidget* Owner = Dialog->parentWidget() ? Dialog->parentWidget()->window() : nullptr;
    return Owner ? Owner->pos() : QPoint();
}

bool Dialog_Place::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == Dialog) {
        // The show event comes before the window is put on the screen, so
        // the move does not show as a jump.
        if (Event->type() == QEvent::Show && Offset)
            Dialog->move(Owner_Position() + *Offset);
        else if (Event->type() == QEvent::Hide && !Event->spontaneous())
            Offset = Dialog->pos() - Owner_Position();
    }
    return QObject::eventFilter(Watched, Event);
}
