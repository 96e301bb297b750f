// Plays the gateway's boot loader on 127.0.0.1 for end-to-end work with the
// stand-in updater. Serves the protocol of PROTOCOL.md, keeps what it receives
// per start address, checks the parameter block's checksum, answers read-back
// and ends on its own.

#include "platform/File_Write.h"
#include "protocol/Update_Protocol.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <cstdio>

using namespace Update_Protocol;

namespace {

struct Settings {
    quint16 Port = 2008;
    bool Silent = false;
    int Drop_Every = 0; // drop every Nth write block; 0 drops none
    int Idle_Ms = 10000;
    int Max_Ms = 120000;
    QString Store_Dir;
};

// One transfer in progress.
struct Transfer {
    quint32 Start = 0;
    QByteArray Data;
    QByteArray Written; // one flag per byte, so gaps are found at the end
};

void Say(const QString& Text)
{
    std::printf("%s\n", qPrintable(Text));
    std::fflush(stdout);
}

class Simulator {
public:
    explicit Simulator(Settings S) : Options(std::move(S)) {}

    int Run()
    {
        if (!Socket.bind(QHostAddress::LocalHost, Options.Port)) {
            std::fprintf(stderr, "gateway_simulator: cannot listen on 127.0.0.1:%u: %s\n", Options.Port,
                         qPrintable(Socket.errorString()));
            return 2;
        }
        Say(QStringLiteral("READY %1").arg(Socket.localPort()));
        QDeadlineTimer End_Of_Run(Options.Max_Ms);
        QDeadlineTimer Idle(Options.Idle_Ms);
        while (!Done && !End_Of_Run.hasExpired() && !Idle.hasExpired()) {
            if (!Socket.waitForReadyRead(50))
                continue;
            while (Socket.hasPendingDatagrams()) {
                const QNetworkDatagram Got = Socket.receiveDatagram();
                Idle.setRemainingTime(Options.Idle_Ms);
                Handle(Got);
            }
        }
        Say(Done ? QStringLiteral("END application started") : QStringLiteral("END time-out"));
        return 0;
    }

private:
    void Handle(const QNetworkDatagram& Got)
    {
        const auto Request = Decode(Got.data());
        if (!Request || (Request->Command & Reply_Bit))
            return;
        if (Options.Silent)
            return;
        Packet Reply;
        Reply.Command = Request->Command | Reply_Bit;
        Reply.Session = Request->Session;
        Reply.Sequence = Request->Sequence;
        Reply.Address = Request->Address;
        switch (static_cast<Command>(Request->Command)) {
        case Command::Begin: Reply.State = Begin(*Request); break;
        case Command::Write:
            if (Options.Drop_Every > 0 && ++Writes_Seen % Options.Drop_Every == 0) {
                Say(QStringLiteral("DROP block %1 at 0x%2").arg(Request->Sequence).arg(Request->Address, 0, 16));
                return;
            }
            Reply.State = Write(*Request);
            break;
        case Command::End: Reply.State = End(*Request); break;
        case Command::Read: Reply.State = Read(*Request, Reply.Payload); break;
        case Command::Go_To_App:
            Done = true;
            break;
        default: Reply.State = Status::Bad_Request; break;
        }
        Socket.writeDatagram(Encode(Reply), Got.senderAddress(), static_cast<quint16>(Got.senderPort()));
    }

    Status Begin(const Packet& P)
    {
        if (P.Payload.size() < 7)
            return Status::Bad_Request;
        const quint32 Size = Get_U32(P.Payload, 0);
        if (Size == 0 || Size > 16 * 1024 * 1024 || quint64(P.Address) + Size > 0x100000000ULL)
            return Status::Out_Of_Range;
        // A repeated Begin (its answer got lost) must not wipe what came since.
        if (Open.contains(P.Session) && Open[P.Session].Start == P.Address)
            return Status::Ok;
        Transfer T;
        T.Start = P.Address;
        T.Data = QByteArray(static_cast<qsizetype>(Size), '\xFF');
        T.Written = QByteArray(static_cast<qsizetype>(Size), '\0');
        Open.insert(P.Session, T);
        return Status::Ok;
    }

    Status Write(const Packet& P)
    {
        auto It = Open.find(P.Session);
        if (It == Open.end())
            return Status::Unknown_Session;
        if (P.Address < It->Start || quint64(P.Address - It->Start) + P.Payload.size() > quint64(It->Data.size()))
            return Status::Out_Of_Range;
        const qsizetype Offset = P.Address - It->Start;
        It->Data.replace(Offset, P.Payload.size(), P.Payload);
        It->Written.replace(Offset, P.Payload.size(), QByteArray(P.Payload.size(), '\1'));
        return Status::Ok;
    }

    Status End(const Packet& P)
    {
        auto It = Open.find(P.Session);
        if (It == Open.end())
            // Its answer was lost and the image is already stored.
            return Closed.contains(P.Session) ? Status::Ok : Status::Unknown_Session;
        if (P.Payload.size() < 8)
            return Status::Bad_Request;
        if (Get_U32(P.Payload, 0) != quint32(It->Data.size()) || It->Written.contains('\0'))
            return Status::Size_Mismatch;
        if (Get_U32(P.Payload, 4) != Crc32(It->Data))
            return Status::Crc_Error;
        if (It->Start == Parameter_Block_Address && !Parameter_Block_Checksum_Ok(It->Data)) {
            Say(QStringLiteral("REJECT 0x%1 checksum").arg(It->Start, 8, 16, QChar('0')));
            Open.erase(It);
            return Status::Checksum_Error;
        }
        Memory[It->Start] = It->Data;
        Store(It->Start, It->Data);
        Say(QStringLiteral("STORED 0x%1 %2 bytes").arg(It->Start, 8, 16, QChar('0')).arg(It->Data.size()));
        Closed.insert(P.Session, true);
        Open.erase(It);
        return Status::Ok;
    }

    Status Read(const Packet& P, QByteArray& Out)
    {
        if (P.Payload.size() < 2)
            return Status::Bad_Request;
        const int Length = qMin<int>(Get_U16(P.Payload, 0), Block_Size);
        for (auto It = Memory.cbegin(); It != Memory.cend(); ++It) {
            if (P.Address >= It.key() && quint64(P.Address - It.key()) + Length <= quint64(It->size())) {
                Out = It->mid(P.Address - It.key(), Length);
                return Status::Ok;
            }
        }
        return Status::Out_Of_Range;
    }

    void Store(quint32 Start, const QByteArray& Data)
    {
        if (Options.Store_Dir.isEmpty())
            return;
        const QString Path = QDir(Options.Store_Dir).filePath(QStringLiteral("0x%1.bin").arg(Start, 8, 16, QChar('0')));
        if (const auto Written = Write_File_Atomic(Path, Data); !Written) {
            const QString Reason = Written.error().Refused_Link() ? QStringLiteral("is a symbolic link") : Written.error().System_Text;
            std::fprintf(stderr, "gateway_simulator: cannot store 0x%08x: %s\n", Start, qPrintable(Reason));
        }
    }

    Settings Options;
    QUdpSocket Socket;
    QHash<quint32, Transfer> Open;
    QHash<quint32, bool> Closed;
    QMap<quint32, QByteArray> Memory;
    int Writes_Seen = 0;
    bool Done = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication App(argc, argv);
    QCommandLineParser Parser;
    Parser.setApplicationDescription(QStringLiteral("Plays the gateway's boot loader on 127.0.0.1."));
    Parser.addHelpOption();
    const QCommandLineOption Port(QStringLiteral("port"), QStringLiteral("UDP port (default 2008; 0 = any)."),
                                  QStringLiteral("port"), QStringLiteral("2008"));
    const QCommandLineOption Silent(QStringLiteral("silent"), QStringLiteral("Receive but never answer."));
    const QCommandLineOption Drop(QStringLiteral("drop-every"), QStringLiteral("Ignore every Nth write block (N >= 2)."),
                                  QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption Store(QStringLiteral("store-dir"),
                                   QStringLiteral("Folder that receives one file per start address."),
                                   QStringLiteral("dir"));
    const QCommandLineOption Idle(QStringLiteral("idle-ms"), QStringLiteral("End after this long without a datagram."),
                                  QStringLiteral("ms"), QStringLiteral("10000"));
    const QCommandLineOption Max(QStringLiteral("max-ms"), QStringLiteral("End after this long in any case."),
                                 QStringLiteral("ms"), QStringLiteral("120000"));
    Parser.addOptions({Port, Silent, Drop, Store, Idle, Max});
    Parser.process(App);

    Settings S;
    bool Ok = false;
    const uint Port_Value = Parser.value(Port).toUInt(&Ok);
    if (!Ok || Port_Value > 65535) {
        std::fprintf(stderr, "gateway_simulator: bad port\n");
        return 2;
    }
    S.Port = static_cast<quint16>(Port_Value);
    S.Silent = Parser.isSet(Silent);
    S.Drop_Every = Parser.value(Drop).toInt();
    if (S.Drop_Every == 1) {
        std::fprintf(stderr, "gateway_simulator: --drop-every 1 would drop every block\n");
        return 2;
    }
    S.Store_Dir = Parser.value(Store);
    S.Idle_Ms = qBound(100, Parser.value(Idle).toInt(), 600000);
    S.Max_Ms = qBound(100, Parser.value(Max).toInt(), 3600000);
    return Simulator(S).Run();
}
