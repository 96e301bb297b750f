#include "review/Report_Findings.h"

#include "cli/Cli_Findings.h"

namespace Review {

// The one place the report reaches the checks.
QList<Report_Finding> Report_Findings(const Workspace& Space, Decimal_Separator& Separator)
{
    QList<Report_Finding> Found;
    for (const Cli::Finding& F : Cli::Check_Configuration(Space, Separator))
        Found.append({F.Level == Cli::Severity::Error, Cli::Finding_Line(F)});
    return Found;
}

} // namespace Review
