#pragma once

// The hostile DCP responder (tools/dcp_responder) on the namespace's device
// end: floods, forged and malformed answers, for the tests that meet them
// over the wire.

#include "dcp/Namespace_Wire.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTest>

class Responder {
public:
    explicit Responder(const QStringList& Options)
    {
        Process.setProgram(QStringLiteral(SW_DCP_RESPONDER));
        Process.setArguments(QStringList{"--interface", Namespace_Wire::Device_Interface, "--idle-ms", "60000"} + Options);
        Process.start();
    }
    ~Responder()
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
            if (Log().startsWith("READY"))
                return true;
            QTest::qWait(20);
        }
        return false;
    }
    // Everything it said so far.
    QByteArray Log()
    {
        Said += Process.readAllStandardOutput();
        return Said;
    }

    QProcess Process;
    QByteArray Said;
};
