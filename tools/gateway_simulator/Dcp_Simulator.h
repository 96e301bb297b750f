#pragma once

#include "gateway_simulator/Dcp_Device.h"

#include <QString>

struct Dcp_Simulator_Settings {
    QString Interface;
    Dcp_Devices::Options Devices;
    QString State_File; // the permanent values, kept through a restart; empty: none kept
    int Idle_Ms = 10000;
    int Max_Ms = 120000;
};

// Plays the devices on a raw Ethernet interface (one end of a veth pair in a
// test's own network namespace) until idle or out of time.
int Run_Dcp_Simulator(const Dcp_Simulator_Settings& Settings, const std::function<void(const QString&)>& Say);
