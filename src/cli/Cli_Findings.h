#pragma once

#include "checks/Project_Checks.h"

#include <QByteArray>
#include <QList>
#include <QString>

class Lang_Table;

// How the command line prints the findings of the checks (checks/).
namespace Cli {

using Checks::Finding;
using Checks::Has_Errors;
using Checks::Severity;

// "FILE:LINE:COLUMN: error: TEXT" with the line and column of the element
// the finding is about, as tools that read compiler output expect; "FILE:
// error: TEXT" for a finding about the file as a whole.
QString Finding_Line(const Finding& Item);
// "2 errors, 1 warning": each count in the singular where it is one.
QString Summary_Line(const QList<Finding>& Findings, const Lang_Table& Lang);
// One JSON document: the configuration folder, the counts and the findings.
QByteArray Findings_Json(const QString& Config_Dir, const QList<Finding>& Findings);

} // namespace Cli
