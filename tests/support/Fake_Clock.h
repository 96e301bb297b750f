#pragma once

#include "platform/Clock.h"

// Time that passes only when the logic sleeps.
class Fake_Clock : public Clock {
public:
    qint64 Tick_Ms() override { return Now; }
    void Sleep_Ms(int Ms) override { Now += Ms; ++Sleeps; }
    void Process_Messages() override { ++Message_Pumps; }

    qint64 Now = 0;
    int Sleeps = 0;
    int Message_Pumps = 0;
};
