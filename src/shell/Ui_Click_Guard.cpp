#include "shell/Ui_Click_Guard.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

void Click_Guard::Guard(const QPoint& At) { new Click_Guard(At); }

Click_Guard::Click_Guard(const QPoint& At_) : QObject(qApp), At(At_)
{
    qApp->installEventFilter(this);
    QTimer::singleShot(QApplication::doubleClickInterval(), this, &QObject::deleteLater);
}

bool Click_Guard::eventFilter(QObject* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const QPoint Where = static_cast<QMouseEvent*>(Event)->globalPosition().toPoint();
        if ((Where - At).manhattanLength() <= QApplication::startDragDistance())
            return true;
        break;
    }
    default: break;
    }
    return QObject::eventFilter(Watched, Event);
}
