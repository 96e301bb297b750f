#pragma once

class QWidget;
class Workspace;
struct Platform_Services;

// The window's way to a configuration's report (the command "sw40610 report"
// is one of the command line's).
namespace Review {

// Asks where to save the active configuration's report (proposing
// "<configuration>-report.pdf" in its folder) and writes it; the outcome is
// told through the prompter.
void Ask_And_Write_Report(const Workspace& Space, const Platform_Services& Services);

} // namespace Review
