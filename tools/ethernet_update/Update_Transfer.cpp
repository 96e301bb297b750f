#include "ethernet_update/Update_Transfer.h"

#include "protocol/Update_Protocol.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QUdpSocket>

using namespace Update_Protocol;

Update_Transfer::Update_Transfer() : Update_Transfer(Timing{}) {}

Update_Transfer::Update_Transfer(Timing Times_) : Times(Times_), Retries(Times_.Reply_Timeout_Ms) {}

std::expected<QByteArray, QString> Update_Transfer::Ask(QUdpSocket& Socket, const Update_Operation& Op,
                                                        quint8 Command, quint32 Address, const QByteArray& Payload)
{
    Packet Request;
    Request.Command = Command;
    Request.Session = Session;
    Request.Sequence = ++Sequence;
    Request.Address = Address;
    Request.Payload = Payload;
    const QByteArray Datagram = Encode(Request);
    // Fast retries must not make the updater give up on a device sooner than
    // the fixed wait did.
    const qint64 Patience_Ms = qint64(Times.Attempts) * Times.Reply_Timeout_Ms;
    qint64 Waited_Ms = 0;
    int Tries = 0;
    while (Tries < Times.Attempts || Waited_Ms < Patience_Ms) {
        if (Socket.writeDatagram(Datagram, Op.Device, Op.Port) != Datagram.size())
            return std::unexpected(QStringLiteral("cannot send to %1: %2").arg(Op.Device.toString(), Socket.errorString()));
        ++Tries;
        QElapsedTimer Since_Sent;
        Since_Sent.start();
        const int Wait_Ms = Retries.Wait_Ms();
        QDeadlineTimer Deadline(Wait_Ms);
        while (!Deadline.hasExpired()) {
            if (!Socket.hasPendingDatagrams()
                && !Socket.waitForReadyRead(static_cast<int>(qMax<qint64>(1, Deadline.remainingTime()))))
                continue;
            while (Socket.hasPendingDatagrams()) {
                const QNetworkDatagram Got = Socket.receiveDatagram();
                const auto Reply = Decode(Got.data());
                // Late answers to earlier requests and datagrams from anyone but
                // the address and port the request went to are dropped.
                if (!Reply || Got.senderAddress().toIPv4Address() != Op.Device.toIPv4Address()
                    || Got.senderPort() != Op.Port || Reply->Command != (Command | Reply_Bit)
                    || Reply->Session != Session || Reply->Sequence != Request.Sequence)
                    continue;
                Retries.Answered(Since_Sent.nsecsElapsed() / 1000, Tries == 1);
                if (Reply->State != Status::Ok)
                    return std::unexpected(QString::fromLatin1(Status_Text(Reply->State)));
                return Reply->Payload;
            }
        }
        Waited_Ms += Wait_Ms;
        Retries.Timed_Out();
    }
    return std::unexpected(QStringLiteral("no answer from the device %1 port %2 after %3 tries")
                               .arg(Op.Device.toString())
                               .arg(Op.Port)
                               .arg(Tries));
}

std::expected<void, QString> Update_Transfer::Send(QUdpSocket& Socket, int Index, const Update_Operation& Op)
{
    Session = QRandomGenerator::system()->generate();
    Sequence = 0;
    const auto Size = static_cast<quint32>(Op.Data.size());
    const int Blocks = (Op.Data.size() + Block_Size - 1) / Block_Size;
    const int Work = Blocks * (Op.Read_Back ? 2 : 1);
    int Done = 0;
    const auto Fail = [&](const QString& What, const QString& Why) {
        return std::unexpected(QStringLiteral("%1 (%2): %3").arg(What, Op.File_Name, Why));
    };

    emit Step(Index, QStringLiteral("Writing"));
    if (auto R = Ask(Socket, Op, quint8(Command::Begin), Op.Start_Address,
                     Begin_Payload(Size, Op.Bank_Type, Op.Memory_Type, Op.Erase));
        !R)
        return Fail(QStringLiteral("start of transfer"), R.error());
    for (int B = 0; B < Blocks; ++B) {
        const quint32 Offset = static_cast<quint32>(B) * Block_Size;
        if (auto R = Ask(Socket, Op, quint8(Command::Write), Op.Start_Address + Offset, Op.Data.mid(Offset, Block_Size));
            !R)
            return Fail(QStringLiteral("block %1 of %2").arg(B + 1).arg(Blocks), R.error());
        emit Progress(Index, ++Done * 100 / Work);
    }
    if (auto R = Ask(Socket, Op, quint8(Command::End), Op.Start_Address, End_Payload(Size, Crc32(Op.Data))); !R)
        return Fail(QStringLiteral("end of transfer"), R.error());

    if (Op.Read_Back) {
        emit Step(Index, QStringLiteral("Reading back"));
        for (int B = 0; B < Blocks; ++B) {
            const quint32 Offset = static_cast<quint32>(B) * Block_Size;
            const QByteArray Expected = Op.Data.mid(Offset, Block_Size);
            const auto R = Ask(Socket, Op, quint8(Command::Read), Op.Start_Address + Offset,
                               Read_Payload(static_cast<quint16>(Expected.size())));
            if (!R)
                return Fail(QStringLiteral("read back of block %1").arg(B + 1), R.error());
            if (*R != Expected)
                return Fail(QStringLiteral("read back"),
                            QStringLiteral("the device holds other bytes at 0x%1")
                                .arg(Op.Start_Address + Offset, 0, 16));
            emit Progress(Index, ++Done * 100 / Work);
        }
    }
    if (Op.Go_To_App_After) {
        emit Step(Index, QStringLiteral("Starting the application"));
        if (auto R = Ask(Socket, Op, quint8(Command::Go_To_App), 0, {}); !R)
            return Fail(QStringLiteral("return to the application"), R.error());
    }
    emit Progress(Index, 100);
    emit Step(Index, QStringLiteral("Done"));
    return {};
}

std::expected<void, QString> Update_Transfer::Run(const Update_Plan& Plan)
{
    QUdpSocket Socket;
    if (!Socket.bind(QHostAddress::AnyIPv4, 0))
        return std::unexpected(QStringLiteral("cannot open a UDP socket: ") + Socket.errorString());
    for (int I = 0; I < Plan.Operations.size(); ++I)
        if (auto Sent = Send(Socket, I, Plan.Operations[I]); !Sent)
            return Sent;
    return {};
}
