#pragma once

// The gateway simulator playing DCP devices on the namespace's device end,
// for the tests that search, name and address them over the wire.

#include "dcp/Namespace_Wire.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

// The simulated devices on dcp1, their log and permanent values (the file
// "state", which a test may write first) in the test's folder.
class Simulator {
public:
    explicit Simulator(const QString& Dir, QStringList Extra = {})
        : Log_File(Dir + QStringLiteral("/simulator.log")), State_File(Dir + QStringLiteral("/state"))
    {
        Arguments = QStringList{"--dcp", Namespace_Wire::Device_Interface, "--dcp-state", State_File,
                                "--idle-ms",  "60000", "--max-ms", "240000"} + Extra;
        Start();
    }
    ~Simulator() { Stop(); }
    void Start()
    {
        QFile::remove(Log_File);
        Process.setProgram(QStringLiteral(SW_GATEWAY_SIMULATOR));
        Process.setArguments(Arguments);
        Process.setStandardOutputFile(Log_File);
        Process.start();
    }
    void Stop()
    {
        if (Process.state() != QProcess::NotRunning) {
            Process.kill();
            Process.waitForFinished(5000);
        }
    }
    // A power cycle: what was set permanently is read back from its store.
    bool Restart()
    {
        Stop();
        Start();
        return Ready();
    }
    bool Ready()
    {
        QElapsedTimer Took;
        Took.start();
        while (Took.elapsed() < 10000 && Process.state() != QProcess::NotRunning) {
            if (Log().startsWith("READY dcp"))
                return true;
            QTest::qWait(20);
        }
        return false;
    }
    QByteArray Log() const
    {
        QFile File(Log_File);
        return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
    }

    QString Log_File;
    QString State_File;
    QStringList Arguments;
    QProcess Process;
};
