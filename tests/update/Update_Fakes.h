#pragma once

#include "platform/Echo_Client.h"
#include "platform/Process_Runner.h"
#include "support/Fake_Clock.h"
#include "support/Fake_Desktop_Shell.h"

#include <QList>
#include <QStringList>

#include <functional>

// A process that "runs" on fake time: it ends Run_Ms after its start with
// Code, or never when Run_Ms is negative.
class Fake_Process_Runner : public Process_Runner {
public:
    explicit Fake_Process_Runner(Fake_Clock& Time) : Time(Time) {}

    bool Start(const QString& Program, const QString& Parameters, bool Hidden) override
    {
        Starts.append({Program, Parameters, Hidden});
        Started_At = Time.Now;
        return Startable;
    }
    qint64 Exit_Code() override
    {
        ++Looks;
        if (While_Running && Looks == 1)
            While_Running();
        if (On_Look)
            On_Look(Looks);
        if (Run_Ms < 0 || Time.Now - Started_At < Run_Ms)
            return Still_Active;
        return Code;
    }

    struct Start_Request {
        QString Program;
        QString Parameters;
        bool Hidden;
    };
    QList<Start_Request> Starts;
    bool Startable = true;
    qint64 Run_Ms = 0;
    qint64 Code = 0;
    int Looks = 0;
    // Runs at the first look at the process, while the launcher waits.
    std::function<void()> While_Running;
    // Runs at every look, with the number of looks so far.
    std::function<void(int)> On_Look;
    qint64 Pid = 4242;
    qint64 Process_Id() override { return Starts.isEmpty() ? 0 : Pid; }

private:
    Fake_Clock& Time;
    qint64 Started_At = 0;
};

// Answers from a script of byte counts (0 = time-out), spending the wait on
// fake time the way the real client spends it on the clock.
class Fake_Echo_Client : public Echo_Client {
public:
    explicit Fake_Echo_Client(Fake_Clock& Time) : Time(Time) {}

    std::expected<int, QString> Echo(const QString& Host, const QByteArray& Data, int Timeout_Ms) override
    {
        Requests.append({Host, Data, Timeout_Ms});
        if (While_Waiting)
            While_Waiting();
        if (!Error.isEmpty())
            return std::unexpected(Error);
        const int Bytes = Replies.isEmpty() ? Default_Reply : Replies.takeFirst();
        Time.Now += Bytes > 0 ? Answer_Ms : Timeout_Ms;
        return Bytes;
    }

    struct Request {
        QString Host;
        QByteArray Data;
        int Timeout_Ms;
    };
    QList<Request> Requests;
    QList<int> Replies;
    int Default_Reply = 0;
    int Answer_Ms = 1;
    QString Error;
    // Runs inside each request, as a user's click would while the check waits.
    std::function<void()> While_Waiting;

private:
    Fake_Clock& Time;
};

