#include "support/Test_Support.h"

#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QRandomGenerator>

namespace Test_Support {

void Write_File(const QString& Path, const QByteArray& Data)
{
    QDir().mkpath(QFileInfo(Path).absolutePath());
    QFile File(Path);
    if (!File.open(QIODevice::WriteOnly) || File.write(Data) != Data.size())
        qFatal("cannot write %s", qPrintable(Path));
}

QByteArray Read_File(const QString& Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return {};
    return File.readAll();
}

QByteArray Random_Bytes(qsizetype Size, quint32 Seed)
{
    QRandomGenerator Gen(Seed);
    QByteArray Bytes(Size, '\0');
    for (char& B : Bytes)
        B = static_cast<char>(Gen.bounded(256));
    return Bytes;
}

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
