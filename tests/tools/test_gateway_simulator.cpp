// The gateway simulator as a network program, driven with raw datagrams on
// 127.0.0.1: its memory stays bounded under a flood of transfers, and no image
// may leave a parameter block with a wrong checksum in the device.

#include "protocol/Update_Protocol.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <optional>

#ifdef Q_OS_WIN
#include <windows.h>
#include <psapi.h>
#endif

using namespace Update_Protocol;
using Test_Support::Random_Bytes;

namespace {

constexpr quint32 Memory_Size = 0x100000;

// The simulator on a free loopback port, its log in a file so that a long log
// never blocks it, and a socket that talks to it one request at a time.
class Simulator_Link {
public:
    QTemporaryDir Dir;
    QString Store_Dir = Dir.filePath("gateway");
    QString Log_File = Dir.filePath("simulator.log");
    QProcess Process;
    QUdpSocket Socket;
    quint16 Port = 0;
    quint32 Sequence = 0;

    Simulator_Link()
    {
        QDir().mkpath(Store_Dir);
        Process.setProgram(QStringLiteral(SW_GATEWAY_SIMULATOR));
        Process.setArguments({"--port", "0", "--store-dir", Store_Dir, "--idle-ms", "30000", "--max-ms", "120000"});
        Process.setStandardOutputFile(Log_File);
        Process.start();
        Socket.bind(QHostAddress::LocalHost, 0);
    }
    ~Simulator_Link()
    {
        if (Process.state() != QProcess::NotRunning) {
            Process.kill();
            Process.waitForFinished(5000);
        }
    }
    bool Ready()
    {
        QElapsedTimer Took;
        Took.start();
        while (Took.elapsed() < 10000 && Process.state() != QProcess::NotRunning) {
            const QByteArray First = Log().split('\n').first();
            if (First.startsWith("READY ") && First.size() > 6) {
                Port = static_cast<quint16>(First.mid(6).toUInt());
                return Port != 0;
            }
            QTest::qWait(20);
        }
        return false;
    }
    QByteArray Log() const
    {
        QFile File(Log_File);
        return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
    }
    // The device's answer; nullopt when none came within a generous bound
    // (loopback loses nothing, so that only happens when the device is quiet).
    std::optional<Packet> Ask(Command C, quint32 Session, quint32 Address, const QByteArray& Payload)
    {
        Packet Request;
        Request.Command = quint8(C);
        Request.Session = Session;
        Request.Sequence = ++Sequence;
        Request.Address = Address;
        Request.Payload = Payload;
        Socket.writeDatagram(Encode(Request), QHostAddress(QHostAddress::LocalHost), Port);
        QElapsedTimer Took;
        Took.start();
        while (Took.elapsed() < 5000) {
            if (!Socket.hasPendingDatagrams() && !Socket.waitForReadyRead(100))
                continue;
            const auto Reply = Decode(Socket.receiveDatagram().data());
            if (Reply && Reply->Sequence == Request.Sequence)
                return Reply;
        }
        return std::nullopt;
    }
    Status State(Command C, quint32 Session, quint32 Address, const QByteArray& Payload)
    {
        const auto Reply = Ask(C, Session, Address, Payload);
        return Reply ? Reply->State : Status(0xFF);
    }
    // A whole transfer; the answer to its End.
    Status Send_Image(quint32 Session, quint32 Start, const QByteArray& Image)
    {
        if (const Status S = State(Command::Begin, Session, Start, Begin_Payload(Image.size(), 2, 0, false));
            S != Status::Ok)
            return S;
        for (qsizetype Offset = 0; Offset < Image.size(); Offset += Block_Size)
            if (const Status S = State(Command::Write, Session, Start + Offset, Image.mid(Offset, Block_Size));
                S != Status::Ok)
                return S;
        return State(Command::End, Session, Start, End_Payload(Image.size(), Crc32(Image)));
    }
    QString Stored(quint32 Start) const
    {
        return QDir(Store_Dir).filePath(QStringLiteral("0x%1.bin").arg(Start, 8, 16, QChar('0')));
    }
    // Peak resident memory in KiB, from the kernel's account of the process
    // (on Windows its peak working set).
    qint64 Peak_Resident_KiB() const
    {
#ifdef Q_OS_WIN
        HANDLE Handle = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(Process.processId()));
        if (!Handle)
            return -1;
        PROCESS_MEMORY_COUNTERS Counters{};
        const bool Got = ::GetProcessMemoryInfo(Handle, &Counters, sizeof Counters);
        ::CloseHandle(Handle);
        return Got && Counters.PeakWorkingSetSize > 0 ? qint64(Counters.PeakWorkingSetSize / 1024) : -1;
#endif
        QFile Status_File(QStringLiteral("/proc/%1/status").arg(Process.processId()));
        if (!Status_File.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray& Line : Status_File.readAll().split('\n'))
            if (Line.startsWith("VmHWM:"))
                return Line.mid(6).trimmed().split(' ').first().toLongLong();
        return -1;
    }
};

// Random bytes with the parameter block at Block_Offset closed by its
// checksum, or by a checksum one too high.
QByteArray Image_With_Block(qsizetype Size, qsizetype Block_Offset, bool Good)
{
    QByteArray Image = Random_Bytes(Size, 23);
    const quint32 Sum = Parameter_Block_Sum(Image.mid(Block_Offset, Parameter_Block_Size)) + (Good ? 0 : 1);
    QByteArray Tail;
    Put_U32(Tail, Sum);
    Image.replace(Block_Offset + Parameter_Block_Checksum_At, 4, Tail);
    return Image;
}

} // namespace

class Test_Gateway_Simulator : public QObject {
    Q_OBJECT
private slots:
    void Flood_Of_Transfers_Keeps_Memory_Bounded();
    void Transfer_Larger_Than_The_Device_Refused_data();
    void Transfer_Larger_Than_The_Device_Refused();
    void Parameter_Block_Checked_In_Every_Image_data();
    void Parameter_Block_Checked_In_Every_Image();
};

// A thousand transfers of the device's whole memory, each started and never
// ended: the simulator keeps only the newest few and forgets the rest, so its
// memory stays far below what all of them would take (two gigabytes).
void Test_Gateway_Simulator::Flood_Of_Transfers_Keeps_Memory_Bounded()
{
    Simulator_Link Sim;
    QVERIFY(Sim.Ready());
    constexpr int Transfers = 1000;
    const QByteArray Begin = Begin_Payload(Memory_Size, 2, 0, false);
    for (quint32 Session = 1; Session <= Transfers; ++Session)
        QCOMPARE(Sim.State(Command::Begin, Session, 0, Begin), Status::Ok);

    const qint64 Peak_KiB = Sim.Peak_Resident_KiB();
    qInfo("peak resident memory of the simulator after %d transfers of 1 MiB: %lld KiB", Transfers, Peak_KiB);
    QVERIFY(Peak_KiB > 0);
    QVERIFY2(Peak_KiB < 100 * 1024, qPrintable(QString::number(Peak_KiB)));

    // The newest transfers are still open, the older ones forgotten.
    const QByteArray Block = Random_Bytes(Block_Size, 3);
    for (quint32 Session = Transfers; Session > Transfers - 4; --Session)
        QCOMPARE(Sim.State(Command::Write, Session, 0, Block), Status::Ok);
    for (quint32 Session : {1U, 2U, quint32(Transfers - 4)})
        QCOMPARE(Sim.State(Command::Write, Session, 0, Block), Status::Unknown_Session);
    const QByteArray Log = Sim.Log();
    QVERIFY2(Log.contains("FORGET session 0x00000001 at 0x00000000: 4 transfers open"), Log.left(2000).constData());
    QVERIFY(Log.contains(QStringLiteral("FORGET session 0x%1 ").arg(Transfers - 4, 8, 16, QChar('0')).toLatin1()));
    QVERIFY(!Log.contains(QStringLiteral("FORGET session 0x%1 ").arg(Transfers - 3, 8, 16, QChar('0')).toLatin1()));

    // A forgotten transfer can be started again and completed.
    QCOMPARE(Sim.Send_Image(1, 0x80000, Random_Bytes(3000, 4)), Status::Ok);
    QCOMPARE(Sim.State(Command::Go_To_App, 1, 0, {}), Status::Ok);
    QVERIFY(Sim.Process.waitForFinished(10000));
    QVERIFY(Sim.Log().contains("STORED 0x00080000 3000 bytes"));
}

void Test_Gateway_Simulator::Transfer_Larger_Than_The_Device_Refused_data()
{
    QTest::addColumn<quint32>("Start");
    QTest::addColumn<quint32>("Size");
    QTest::addColumn<Status>("Expected");
    QTest::newRow("the whole memory") << 0U << Memory_Size << Status::Ok;
    QTest::newRow("bank 2 up to the last address") << 0x80000U << 0x80000U << Status::Ok;
    QTest::newRow("one byte past the last address") << 0x80000U << 0x80001U << Status::Out_Of_Range;
    QTest::newRow("larger than the memory") << 0U << Memory_Size + 1 << Status::Out_Of_Range;
    QTest::newRow("far out of the memory") << 0xFFFFFF00U << 0x10U << Status::Out_Of_Range;
    QTest::newRow("sixteen megabytes") << 0U << 0x1000000U << Status::Out_Of_Range;
    QTest::newRow("nothing") << 0x8000U << 0U << Status::Out_Of_Range;
}

void Test_Gateway_Simulator::Transfer_Larger_Than_The_Device_Refused()
{
    QFETCH(quint32, Start);
    QFETCH(quint32, Size);
    QFETCH(Status, Expected);
    Simulator_Link Sim;
    QVERIFY(Sim.Ready());
    QCOMPARE(Sim.State(Command::Begin, 7, Start, Begin_Payload(Size, 2, 0, false)), Expected);
}

void Test_Gateway_Simulator::Parameter_Block_Checked_In_Every_Image_data()
{
    QTest::addColumn<quint32>("Start");
    QTest::addColumn<QByteArray>("Image");
    QTest::addColumn<Status>("Expected");

    const qsizetype Block = Parameter_Block_Size;
    QTest::newRow("bank 1 closed by its checksum") << Parameter_Block_Address << Image_With_Block(Block, 0, true)
                                                   << Status::Ok;
    QTest::newRow("bank 1 with a wrong checksum") << Parameter_Block_Address << Image_With_Block(Block, 0, false)
                                                  << Status::Checksum_Error;
    QTest::newRow("bank 1 longer than the block") << Parameter_Block_Address
                                                  << Image_With_Block(2 * Block, 0, true) << Status::Checksum_Error;
    QTest::newRow("larger image, good block inside") << 0x6000U << Image_With_Block(0x2000, 0x1000, true)
                                                     << Status::Ok;
    QTest::newRow("larger image, bad block inside") << 0x6000U << Image_With_Block(0x2000, 0x1000, false)
                                                    << Status::Checksum_Error;
    QTest::newRow("image ending inside the block") << 0x6000U << Random_Bytes(0x1400, 5) << Status::Checksum_Error;
    QTest::newRow("image starting inside the block") << 0x7400U << Random_Bytes(0x800, 6) << Status::Checksum_Error;
    QTest::newRow("image just below the block") << 0x6000U << Random_Bytes(0x1000, 7) << Status::Ok;
    QTest::newRow("image just above the block") << 0x7800U << Random_Bytes(0x800, 8) << Status::Ok;
}

void Test_Gateway_Simulator::Parameter_Block_Checked_In_Every_Image()
{
    QFETCH(quint32, Start);
    QFETCH(QByteArray, Image);
    QFETCH(Status, Expected);
    Simulator_Link Sim;
    QVERIFY(Sim.Ready());

    QCOMPARE(Sim.Send_Image(42, Start, Image), Expected);

    const QByteArray Block_Read = Read_Payload(16);
    const auto Read = Sim.Ask(Command::Read, 42, Start, Block_Read);
    QVERIFY(Read);
    if (Expected == Status::Ok) {
        QCOMPARE(Read->State, Status::Ok);
        QCOMPARE(Read->Payload, Image.left(16));
        QFile Stored(Sim.Stored(Start));
        QVERIFY(Stored.open(QIODevice::ReadOnly));
        QCOMPARE(Stored.readAll(), Image);
    } else {
        // Refused as a whole: nothing of it is in the device or on disk.
        QCOMPARE(Read->State, Status::Out_Of_Range);
        QVERIFY(!QFile::exists(Sim.Stored(Start)));
        QVERIFY(Sim.Log().contains(QStringLiteral("REJECT 0x%1 checksum").arg(Start, 8, 16, QChar('0')).toLatin1()));
    }
}

QTEST_GUILESS_MAIN(Test_Gateway_Simulator)
#include "test_gateway_simulator.moc"
