#include "support/Test_Support.h"

#include <QElapsedTimer>

namespace Test_Support {

QPointer<QTimer> When_Modal(std::function<void(QWidget*)> Action, int Timeout_Ms)
{
    auto* Poll = new QTimer;
    auto Clock = std::make_shared<QElapsedTimer>();
    Clock->start();
    Poll->setInterval(10);
    QObject::connect(Poll, &QTimer::timeout, [Poll, Clock, Action, Timeout_Ms] {
        QWidget* Modal = QApplication::activeModalWidget();
        if (Modal && Modal->isVisible()) {
            Poll->stop();
            Poll->deleteLater();
            Action(Modal);
        } else if (Clock->elapsed() > Timeout_Ms) {
            Poll->stop();
            Poll->deleteLater();
        }
    });
    Poll->start();
    return Poll;
}

} // namespace Test_Support
