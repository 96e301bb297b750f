#pragma once

#include <QtGlobal>

// Time for the logic that waits (reachability check, launcher polling), so
// tests can run it on fake time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 Tick_Ms() = 0;
    virtual void Sleep_Ms(int Ms) = 0;
    // Lets pending window messages run (repaint, input) while logic waits.
    virtual void Process_Messages() = 0;
};

class System_Clock : public Clock {
public:
    System_Clock();
    qint64 Tick_Ms() override;
    void Sleep_Ms(int Ms) override;
    void Process_Messages() override;

private:
    qint64 Start_Ns;
};
