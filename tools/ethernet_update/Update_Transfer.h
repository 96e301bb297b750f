#pragma once

#include "ethernet_update/Retry_Timer.h"
#include "ethernet_update/Update_Parameters.h"

#include <QObject>
#include <QString>

#include <expected>

class QUdpSocket;

// Sends the operations of a plan to the device, one acknowledged block at a
// time. Runs on its own thread; reports progress through signals.
class Update_Transfer : public QObject {
    Q_OBJECT
public:
    struct Timing {
        // The wait for an answer until round trips are measured; afterwards
        // Retry_Timer learns it. A request is given up after Attempts tries
        // and no sooner than Attempts times this wait.
        int Reply_Timeout_Ms = 300;
        int Attempts = 6;
    };

    Update_Transfer();
    explicit Update_Transfer(Timing Times);
    std::expected<void, QString> Run(const Update_Plan& Plan);

signals:
    // Operation is 0-based; Percent 0..100.
    void Progress(int Operation, int Percent);
    void Step(int Operation, const QString& Text);

private:
    std::expected<QByteArray, QString> Ask(QUdpSocket& Socket, const Update_Operation& Op, quint8 Command,
                                           quint32 Address, const QByteArray& Payload);
    std::expected<void, QString> Send(QUdpSocket& Socket, int Index, const Update_Operation& Op);

    Timing Times;
    Retry_Timer Retries;
    quint32 Session = 0;
    quint32 Sequence = 0;
};
