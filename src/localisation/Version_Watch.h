#pragma once

#include "localisation/Version_Check.h"

#include <QObject>
#include <QTimer>

class Http_Client;

// The program's one timer and the version checks that run on it. The query
// blocks with events running, so a tick that falls due during a manual check
// must not start a second query inside the first: it is held back and runs
// right after.
class Version_Watch : public QObject {
    Q_OBJECT
public:
    explicit Version_Watch(Http_Client* Http, QObject* Parent = nullptr);

    // The timer runs exactly when Wanted. A running timer keeps counting, so
    // confirming the options again never pushes a due check back.
    void Apply_Timer_Rule(bool Wanted);
    // Asks at once; true exactly when a newer version is published.
    bool Check_Version();
    // One periodic check: the timer rests while the query runs, Checked tells
    // the answer, and the checks go on every two hours.
    void Timer_UpdateTimer();

    // Where the query goes.
    Version_Check::Server Server = Version_Check::Maker_Server();
    QTimer Timer_Update;

signals:
    // The answer of every periodic check.
    void Checked(bool Newer_Published);

private:
    void Tick();
    void Release_Held_Tick();
    bool Ask();

    Http_Client* Http;
    bool Querying = false;
    bool Tick_Held = false; // a tick fell due while a query waited
};
