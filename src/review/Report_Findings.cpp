#include "review/Report_Findings.h"

#include "checks/Project_Checks.h"

namespace Review {

// The one place the report reaches the checks.
QList<Report_Finding> Report_Findings(const Workspace& Space, Decimal_Separator& Separator,
                                      Certificates::Pem_Reader& Reader)
{
    QList<Report_Finding> Found;
    for (const Checks::Finding& F : Checks::Check_Configuration(Space, Separator, &Reader))
        Found.append({F.Level == Checks::Severity::Error, Checks::Finding_Line(F)});
    return Found;
}

} // namespace Review
