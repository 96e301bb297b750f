#include "platform/Input_Blocker.h"

#include <QCoreApplication>
#include <QEvent>

Input_Blocker::Input_Blocker()
{
    if (QCoreApplication* App = QCoreApplication::instance())
        App->installEventFilter(this);
}

Input_Blocker::~Input_Blocker()
{
    if (QCoreApplication* App = QCoreApplication::instance())
        App->removeEventFilter(this);
}

bool Input_Blocker::eventFilter(QObject* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    case QEvent::Close:
        return Event->spontaneous();
    default:
        return QObject::eventFilter(Watched, Event);
    }
}
