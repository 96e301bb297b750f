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

using Checks::Finding_Line;
// "2 errors, 1 warning": each count in the singular where it is one.
QString Summary_Line(const QList<Finding>& Findings, const Lang_Table& Lang);
// One JSON document: the configuration folder, the counts and the findings.
QByteArray Findings_Json(const QString& Config_Dir, const QList<Finding>& Findings);

} // namespace Cli
