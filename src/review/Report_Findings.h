#pragma once

#include <QList>
#include <QString>

class Decimal_Separator;
class Workspace;
namespace Certificates {
class Pem_Reader;
}

// The findings the report lists: every error and warning of the check of the
// active configuration, one line each as the command line prints it.
namespace Review {

struct Report_Finding {
    bool Error = false;
    QString Line;
};

// Keys and certificates are read through Reader, the one the rest of the
// report reads them with.
QList<Report_Finding> Report_Findings(const Workspace& Space, Decimal_Separator& Separator,
                                      Certificates::Pem_Reader& Reader);

} // namespace Review
