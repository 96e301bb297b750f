#pragma once

#include <QString>
#include <QtGlobal>

// Starts an external program and reports on it, for the launcher that waits
// for the updater. One process at a time.
class Process_Runner {
public:
    // The code the launcher reads while the process still runs.
    static constexpr qint64 Still_Active = 259;

    virtual ~Process_Runner() = default;
    // Starts Program with its command-line Parameters (may be empty); Hidden
    // asks for its window not to be shown. False when it could not be started.
    virtual bool Start(const QString& Program, const QString& Parameters, bool Hidden) = 0;
    // The exit code of the last started process, or Still_Active while it runs.
    virtual qint64 Exit_Code() = 0;
    // The system's id of the last started process; 0 when none was started.
    virtual qint64 Process_Id() = 0;
};

// The real runner over QProcess. A process still running when the launcher
// stops waiting is left running, also when the configurator ends.
class Qt_Process_Runner : public Process_Runner {
public:
    Qt_Process_Runner();
    ~Qt_Process_Runner() override;
    bool Start(const QString& Program, const QString& Parameters, bool Hidden) override;
    qint64 Exit_Code() override;
    qint64 Process_Id() override;

private:
    void Let_Go();

    class QProcess* Process = nullptr;
};
