#pragma once

#include "support/Test_Files.h"

#include <QApplication>
#include <QPointer>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace Test_Support {

// Runs Action on the next modal widget that becomes active (a dialog opened
// with exec()), polling the event loop; gives up after Timeout_Ms. Deleting
// the returned poller cancels the wait.
QPointer<QTimer> When_Modal(std::function<void(QWidget*)> Action, int Timeout_Ms = 5000);

// Finds a child by objectName or fails the test with a clear message.
template <class T>
T* Find(QObject* Parent, const QString& Name)
{
    T* Child = Parent->findChild<T*>(Name);
    if (!Child)
        qFatal("control %s not found", qPrintable(Name));
    return Child;
}

} // namespace Test_Support
