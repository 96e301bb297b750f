#pragma once

#include "review/Ui_Report_Layout.h"

#include <QDateTime>
#include <QPageSize>
#include <QRectF>
#include <QString>

#include <expected>

class Decimal_Separator;
class QLocale;
class Workspace;
struct Configuration;
namespace Certificates {
class Pem_Reader;
}

// The PDF report of a configuration: what it holds and what the device is
// given, for the customer's acceptance. Drawn with Qt's own PDF writer.
namespace Review {

struct Report_Request {
    QString Path;              // the PDF file to write
    QPageSize::PageSizeId Page = QPageSize::A4;
    QDateTime Written_On;      // shown in the title block
    // Reads the keys and certificates, each text once for the whole report
    // and its findings; one of the report's own when none is given.
    Certificates::Pem_Reader* Reader = nullptr;
};

struct Report_Written {
    int Pages = 0;
    // Where the data-array map lies: its page (from 1), and its rectangle on
    // that page in points from the page's top-left corner, with the width of
    // its address column and the font it was drawn with (in points).
    int Map_Page = 0;
    QRectF Map_Rect;
    qreal Map_Margin = 0;
    qreal Map_Font_Points = 0;
    // The pages as they were laid out, in device pixels at Resolution dots per inch.
    QList<Report_Layout::Page> Layout;
    int Resolution = 0;
};

// A4, or Letter where the locale measures in inches.
QPageSize::PageSizeId Report_Page_Size(const QLocale& Locale);
// The file name proposed for a configuration's report.
QString Report_File_Name(const QString& Configuration_Name);

// Writes the report of the active configuration of Space in its language.
// A project file that is not well-formed, or cannot be read, is refused with
// the reason. The report is drawn in memory and written through the
// program's file writer: when it cannot be written (a full disk, a file-size
// limit) the system's reason is returned and the previous file stays as it
// was. Needs a graphics application (an offscreen one will do).
std::expected<Report_Written, QString> Write_Report(const Workspace& Space, Decimal_Separator& Separator,
                                                    const Report_Request& Request);
// The first reads the configuration of Space (a file not saved yet is its
// defaults; one that cannot be read is refused with the reason); the second
// takes Config, opened by the caller, with the texts of Space.
std::expected<Report_Written, QString> Write_Report(const Workspace& Space, const Configuration& Config,
                                                    Decimal_Separator& Separator, const Report_Request& Request);

} // namespace Review
