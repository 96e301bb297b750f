// Plays the gateway's boot loader on 127.0.0.1 for end-to-end work with the
// stand-in updater. Serves the protocol of PROTOCOL.md (the device's side is
// Boot_Loader), stores each image it accepts and ends on its own.
// With --dcp IF it plays instead one or many PROFINET devices answering DCP on
// a raw Ethernet interface (Dcp_Device), for a test's own network namespace.

#include "gateway_simulator/Boot_Loader.h"
#include "gateway_simulator/Dcp_Simulator.h"
#include "platform/File_Write.h"
#include "protocol/Update_Protocol.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
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

void Say(const QString& Text)
{
    std::printf("%s\n", qPrintable(Text));
    std::fflush(stdout);
}

// "MAC [ERROR]" a line; blank lines and lines starting with '#' are skipped.
std::expected<QList<std::pair<Dcp::Mac_Address, quint8>>, QString> Read_Macs(const QString& Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return std::unexpected(Path + QStringLiteral(": ") + File.errorString());
    QList<std::pair<Dcp::Mac_Address, quint8>> Macs;
    int Line_Number = 0;
    while (!File.atEnd()) {
        ++Line_Number;
        const QString Line = QString::fromLatin1(File.readLine()).trimmed();
        if (Line.isEmpty() || Line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList Parts = Line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const auto Mac = Dcp::Parse_Mac(Parts[0]);
        bool Ok = Parts.size() <= 2;
        const int Error = Parts.size() == 2 ? Parts[1].toInt(&Ok) : 0;
        if (!Mac || !Ok || Error < 0 || Error > 255)
            return std::unexpected(QStringLiteral("%1:%2: expected MAC [BlockError]").arg(Path).arg(Line_Number));
        Macs.append({*Mac, static_cast<quint8>(Error)});
    }
    return Macs;
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
        if (!Request || Options.Silent)
            return;
        const auto Reply = Device.Handle(*Request);
        if (!Reply)
            return;
        Socket.writeDatagram(Encode(*Reply), Got.senderAddress(), static_cast<quint16>(Got.senderPort()));
        Done = Device.Application_Started();
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
    Boot_Loader Device{{Say, [this](quint32 Start, const QByteArray& Data) { Store(Start, Data); }},
                       Options.Drop_Every};
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
    const QCommandLineOption Dcp(QStringLiteral("dcp"), QStringLiteral("Answer DCP on this Ethernet interface."),
                                 QStringLiteral("interface"));
    const QCommandLineOption Devices(QStringLiteral("devices"), QStringLiteral("DCP: answer as N gateways (default 1)."),
                                     QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption Foreign(QStringLiteral("foreign"),
                                     QStringLiteral("DCP: answer also as N devices of another maker."),
                                     QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption State(QStringLiteral("dcp-state"),
                                   QStringLiteral("DCP: file keeping the permanent names and addresses."),
                                   QStringLiteral("file"));
    const QCommandLineOption Set_Error(QStringLiteral("dcp-error"),
                                       QStringLiteral("DCP: answer every Set with this BlockError (1-6)."),
                                       QStringLiteral("code"), QStringLiteral("0"));
    const QCommandLineOption Macs(QStringLiteral("macs"),
                                  QStringLiteral("DCP: the gateways' MACs, one a line, each optionally followed by "
                                                 "the BlockError (1-6) that device answers every Set with."),
                                  QStringLiteral("file"));
    const QCommandLineOption Conflict(QStringLiteral("dcp-conflict"),
                                      QStringLiteral("DCP: one more gateway that already holds this station name."),
                                      QStringLiteral("name"));
    const QCommandLineOption Set_Delay(QStringLiteral("dcp-set-delay"),
                                       QStringLiteral("DCP: answer each Set only after this many milliseconds."),
                                       QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption Address_Conflict(QStringLiteral("dcp-address-conflict"),
                                              QStringLiteral("DCP: another station holds this IPv4 address; a device "
                                                             "holding it reports the address conflict."),
                                              QStringLiteral("address"));
    const QCommandLineOption Quiet(QStringLiteral("dcp-quiet-after-set"),
                                   QStringLiteral("DCP: a device that answered a Set answers no Identify after it."));
    Parser.addOptions({Port, Silent, Drop, Store, Idle, Max, Dcp, Devices, Foreign, State, Set_Error, Macs, Conflict, Set_Delay,
                       Address_Conflict, Quiet});
    Parser.process(App);

    if (Parser.isSet(Dcp)) {
        Dcp_Simulator_Settings D;
        D.Interface = Parser.value(Dcp);
        bool Ok_Devices = false, Ok_Foreign = false, Ok_Error = false;
        D.Devices.Gateways = Parser.value(Devices).toInt(&Ok_Devices);
        D.Devices.Foreign = Parser.value(Foreign).toInt(&Ok_Foreign);
        const int Error = Parser.value(Set_Error).toInt(&Ok_Error);
        if (!Ok_Devices || !Ok_Foreign || !Ok_Error || D.Devices.Gateways < 0 || D.Devices.Foreign < 0 ||
            D.Devices.Gateways + D.Devices.Foreign > 100000 || Error < 0 || Error > 255) {
            std::fprintf(stderr, "gateway_simulator: bad --devices, --foreign or --dcp-error\n");
            return 2;
        }
        D.Devices.Set_Error = static_cast<quint8>(Error);
        if (Parser.isSet(Macs)) {
            const auto Read = Read_Macs(Parser.value(Macs));
            if (!Read) {
                std::fprintf(stderr, "gateway_simulator: %s\n", qPrintable(Read.error()));
                return 2;
            }
            D.Devices.Macs = *Read;
        }
        D.Devices.Conflict_Name = Parser.value(Conflict);
        D.Devices.Set_Delay = std::chrono::milliseconds(qBound(0, Parser.value(Set_Delay).toInt(), 60000));
        D.Devices.Silent = Parser.isSet(Silent);
        D.Devices.Quiet_After_Set = Parser.isSet(Quiet);
        if (Parser.isSet(Address_Conflict)) {
            D.Devices.Conflict_Address = Parse_Ipv4(Parser.value(Address_Conflict));
            if (!D.Devices.Conflict_Address) {
                std::fprintf(stderr, "gateway_simulator: bad --dcp-address-conflict\n");
                return 2;
            }
        }
        D.State_File = Parser.value(State);
        D.Idle_Ms = qBound(100, Parser.value(Idle).toInt(), 600000);
        D.Max_Ms = qBound(100, Parser.value(Max).toInt(), 3600000);
        return Run_Dcp_Simulator(D, Say);
    }

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
