#include "review/Report_Findings.h"

#include "checks/Project_Checks.h"

namespace Review {

// The one place the report reaches the checks.
QList<Report_Finding> Report_Findings(const Configuration& Config, const Lang_Table& Lang, Decimal_Separator& Separator,
                                      Certificates::Pem_Reader& Reader, Configuration_Image::Compile_Result Compiled)
{
    QList<Report_Finding> Found;
    for (const Checks::Finding& F : Checks::Check_Configuration(Config, Lang, Separator, &Reader, Compiled))
        Found.append({F.Level == Checks::Severity::Error, Checks::Finding_Line(F)});
    return Found;
}

} // namespace Review
