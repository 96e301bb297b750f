#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class Decimal_Separator;
class Workspace;

namespace Cli {

enum class Severity { Error, Warning };

// One finding of the checks: the file it is about, its row there (0 when it
// is about the file as a whole) and the text the window would show.
struct Finding {
    QString File;
    int Row = 0;
    // Every row the finding is about, ascending (two for an overlap); Row is
    // the first of them.
    QList<int> Rows;
    Severity Level = Severity::Error;
    QString Text;
    // The file is not well-formed XML: Text is the parser's message with its
    // line and column, and nothing of the file could be checked.
    bool Not_Well_Formed = false;
};

// Every finding of the active configuration's files, in the order the window
// checks them: the general parameters with the server's TLS material (when
// TLS is enabled), the variables row by row with their placement on the data
// array, then the known-certificates list when it has rows. The window stops
// at the first error; here every error and every warning is listed. A file
// that is not well-formed is one error finding; the other files are still
// checked.
QList<Finding> Check_Configuration(const Workspace& Space, Decimal_Separator& Separator);

bool Has_Errors(const QList<Finding>& Findings);
// "FILE:ROW: error: TEXT", the row left out when there is none.
QString Finding_Line(const Finding& Item);
// One JSON document: the configuration folder, the counts and the findings.
QByteArray Findings_Json(const QString& Config_Dir, const QList<Finding>& Findings);

} // namespace Cli
