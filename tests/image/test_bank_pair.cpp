// The two bank files are one pair: many compiles of one configuration at
// once, run as separate programs while the configuration changes between
// two versions, leave a pair that belongs to one version every time.

#include "image/Configuration_Image.h"
#include "image/Image_Fixtures.h"
#include "support/Built_Program.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace Image_Fixtures;
using Test_Support::Read_File;

namespace {

// Two versions that differ in both banks: the address in bank 1, the port
// and the variables in bank 2.
Project Version(int Which)
{
    Project P;
    P.Has_ParGen = true;
    P.ParGen["PROFINET_IP4"] = QString::number(10 + Which);
    P.ParGen["IEC61850_Server_Port"] = QString::number(102 + Which);
    P.Has_Variables = true;
    for (int I = 0; I < 3 + 4 * Which; ++I) {
        Var_Row Row;
        Row.Name = QStringLiteral("V%1_%2").arg(Which).arg(I);
        Row.Length = QStringLiteral("4");
        Row.Position = QString::number(4 * I);
        Row.StartBit.clear();
        P.Variables.append(Row);
    }
    return P;
}

struct Pair {
    QByteArray Bank1, Bank2;
    bool operator==(const Pair&) const = default;
};

} // namespace

class Test_Bank_Pair : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QString Program;

    QString Configuration(const QString& Name, int Which)
    {
        const QString Path = Dir.filePath("configs/" + Name);
        if (!QDir().mkpath(Path + "/bin"))
            qFatal("cannot make %s", qPrintable(Path));
        Write_Project(Version(Which), Path + "/ParGen.xml", Path + "/IEC61850_Variables.xml",
                      Path + "/TLS_Known_Cert.xml");
        return Path;
    }

    QProcess* Start_Compile(const QString& Config, std::vector<std::unique_ptr<QProcess>>& Running)
    {
        auto Process = std::make_unique<QProcess>();
        Process->setWorkingDirectory(Dir.path());
        Process->setProcessChannelMode(QProcess::MergedChannels);
        Process->start(Program, {QStringLiteral("compile"), QStringLiteral("--quiet"), Config});
        Running.push_back(std::move(Process));
        return Running.back().get();
    }

    static Pair Read_Pair(const QString& Config)
    {
        return {Read_File(Config + "/bin/bank1.bin"), Read_File(Config + "/bin/bank2.bin")};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(Dir.isValid());
        const QString Exe_Dir = Dir.filePath("prog");
        Program = Test_Support::Copy_Built_Program(Exe_Dir, false);
        QVERIFY(!Program.isEmpty());
    }

    void Concurrent_Compiles_Leave_One_Version()
    {
        // The pair each version compiles to, each on its own.
        Pair Expected[2];
        for (int Which = 0; Which < 2; ++Which) {
            const QString Alone = Configuration(QStringLiteral("alone%1").arg(Which), Which);
            std::vector<std::unique_ptr<QProcess>> One;
            QProcess* Process = Start_Compile(Alone, One);
            QVERIFY(Process->waitForFinished(60000));
            QCOMPARE(Process->exitCode(), 0);
            Expected[Which] = Read_Pair(Alone);
            QVERIFY(!Expected[Which].Bank1.isEmpty() && !Expected[Which].Bank2.isEmpty());
        }
        QVERIFY(Expected[0].Bank1 != Expected[1].Bank1 && Expected[0].Bank2 != Expected[1].Bank2);

        const QString Shared = Configuration(QStringLiteral("shared"), 0);
        const QString Lock_Path = Compile_Lock_Path(Shared);
        std::vector<std::unique_ptr<QProcess>> Running;
        constexpr int Rounds = 4;
        constexpr int At_Once = 6;
        int Checked_Pairs = 0;
        int Compiled = 0;
        for (int Round = 0; Round < Rounds; ++Round) {
            for (int I = 0; I < At_Once; ++I)
                Start_Compile(Shared, Running);
            // While they run, the configuration changes version again and
            // again. The change takes the compile lock, as an editor saving
            // the files would have to, so a compile reads one version whole;
            // the pair is read under the lock too, between two compiles.
            int Which = 0;
            for (bool Any_Running = true; Any_Running;) {
                {
                    QLockFile Lock(Lock_Path);
                    QVERIFY(Lock.tryLock(30000));
                    const Pair Now = Read_Pair(Shared);
                    if (!Now.Bank1.isEmpty() || !Now.Bank2.isEmpty()) {
                        QVERIFY2(Now == Expected[0] || Now == Expected[1], "the bank files are of different versions");
                        ++Checked_Pairs;
                    }
                    Which = 1 - Which;
                    Write_Project(Version(Which), Shared + "/ParGen.xml", Shared + "/IEC61850_Variables.xml",
                                  Shared + "/TLS_Known_Cert.xml");
                }
                QTest::qWait(5);
                Any_Running = false;
                for (const auto& Process : Running)
                    Any_Running = Any_Running || Process->state() != QProcess::NotRunning;
            }
            for (const auto& Process : Running) {
                QCOMPARE(Process->state(), QProcess::NotRunning);
                QCOMPARE(Process->exitStatus(), QProcess::NormalExit);
                const QString Output = QString::fromUtf8(Process->readAll());
                // A compile that waited past its bound gives up and says so;
                // any other outcome is a fault.
                if (Process->exitCode() == 0)
                    ++Compiled;
                else
                    QVERIFY2(Process->exitCode() == 3 && Output.contains("Another compile of this configuration"),
                             qPrintable(Output));
            }
            Running.clear();
            const Pair Final = Read_Pair(Shared);
            QVERIFY2(Final == Expected[0] || Final == Expected[1], "the bank files are of different versions");
        }
        QVERIFY(Compiled > 0);
        QVERIFY(Checked_Pairs > 0);
        // No kept old version or temporary file is left behind.
        QCOMPARE(QDir(Shared + "/bin").entryList(QDir::Files | QDir::NoDotAndDotDot),
                 QStringList({"bank1.bin", "bank2.bin"}));
    }
};

QTEST_GUILESS_MAIN(Test_Bank_Pair)
#include "test_bank_pair.moc"
