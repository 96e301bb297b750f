#pragma once

#include "commission/Commission_Run.h"

class Clock;
class Decimal_Separator;
class Process_Runner;
class Workspace;

namespace Commission {

// The real steps: the checks and the compiler as "compile" runs them, and
// the updater started through the update parameter file and the launcher,
// configuration only, for the gateway's new address. Everything passed must
// outlive the steps.
Configuration_Steps Real_Configuration_Steps(const Workspace& Space, Decimal_Separator& Separator,
                                             Process_Runner& Runner, Clock& Time);

} // namespace Commission
