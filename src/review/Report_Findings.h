#pragma once

#include <QList>
#include <QString>

#include "image/Configuration_Image.h"

class Decimal_Separator;
class Lang_Table;
struct Configuration;
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
// Compiled: what compiling Config gave, which the report has done already.
QList<Report_Finding> Report_Findings(const Configuration& Config, const Lang_Table& Lang, Decimal_Separator& Separator,
                                      Certificates::Pem_Reader& Reader, Configuration_Image::Compile_Result Compiled);

} // namespace Review
