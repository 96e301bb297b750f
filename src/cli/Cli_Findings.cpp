#include "cli/Cli_Findings.h"

#include "cli/Cli_Texts.h"
#include "foundation/Lang_Strings.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Cli {

namespace {

QString Severity_Name(Severity Level)
{
    return Level == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

qsizetype Errors_In(const QList<Finding>& Findings)
{
    return std::count_if(Findings.begin(), Findings.end(), [](const Finding& F) { return F.Level == Severity::Error; });
}

} // namespace

QString Summary_Line(const QList<Finding>& Findings, const Lang_Table& Lang)
{
    const qsizetype Errors = Errors_In(Findings);
    const qsizetype Warnings = Findings.size() - Errors;
    const int Slot = Errors == 1 ? (Warnings == 1 ? Cli_Text::Summary_One_Each : Cli_Text::Summary_One_Error)
                                 : (Warnings == 1 ? Cli_Text::Summary_One_Warning : Cli_Text::Summary);
    return Lang[Slot].arg(QString::number(Errors), QString::number(Warnings));
}

QByteArray Findings_Json(const QString& Config_Dir, const QList<Finding>& Findings)
{
    QJsonArray Items;
    for (const Finding& F : Findings) {
        QJsonArray Rows;
        for (const int Row : F.Rows)
            Rows.append(Row);
        Items.append(QJsonObject{{QStringLiteral("file"), QDir::toNativeSeparators(F.File)},
                                 {QStringLiteral("line"), F.Place.Line},
                                 {QStringLiteral("column"), F.Place.Column},
                                 {QStringLiteral("row"), F.Rows.value(0)},
                                 {QStringLiteral("rows"), Rows},
                                 {QStringLiteral("severity"), Severity_Name(F.Level)},
                                 {QStringLiteral("text"), F.Text}});
    }
    const qsizetype Errors = Errors_In(Findings);
    const QJsonObject Root{{QStringLiteral("configuration"), QDir::toNativeSeparators(Config_Dir)},
                           {QStringLiteral("errors"), Errors},
                           {QStringLiteral("warnings"), Findings.size() - Errors},
                           {QStringLiteral("findings"), Items}};
    return QJsonDocument(Root).toJson(QJsonDocument::Indented);
}

} // namespace Cli
