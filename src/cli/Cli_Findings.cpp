#include "cli/Cli_Findings.h"

#include "foundation/Text_Rules.h"
#include "editors/List_Files.h"
#include "editors/Par_Gen_Checks.h"
#include "editors/Table_Model.h"
#include "platform/Xml_File.h"
#include "foundation/Workspace.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Cli {

QList<Finding> Check_Configuration(const Workspace& Space, Decimal_Separator& Separator)
{
    QList<Finding> Findings;
    const auto Add = [&](const QString& File, int Row, Severity Level, const QString& Text) {
        Findings.append({QDir::toNativeSeparators(File), Row, Level, Text});
    };

    const auto Guarded = [&](const QString& File, auto&& Checks) {
        try {
            Checks();
        } catch (const Xml_Parse_Error& E) {
            Add(File, 0, Severity::Error, E.Message());
            Findings.last().Not_Well_Formed = true;
        }
    };

    Guarded(Space.File_ParGen, [&] {
        if (const auto Problem = Par_Gen::Check(Par_Gen::Load(Space.File_ParGen), Space.Lang_Strings))
            Add(Space.File_ParGen, 0, Severity::Error, *Problem);
    });

    namespace V = IEC61850_Variables;
    Guarded(Space.File_IEC61850_Variables, [&] {
        Table_Model Variables(Check_Kind::Text_Check, V::Data_Rows + 1, V::Columns);
        V::Init_Table(Variables);
        V::Load(Space.File_IEC61850_Variables, Variables);
        if (const auto Problem = V::Check(Variables, Get_Decimal_Separator(Separator), V::Data_Array_Size,
                                          Space.Lang_Strings))
            Add(Space.File_IEC61850_Variables, 0, Severity::Error, *Problem);
    });

    namespace C = TLS_Known_Cert;
    Guarded(Space.File_TLS_Known_Cert, [&] {
        Table_Model Certificates(Check_Kind::State_Check, C::Data_Rows + 1, C::Columns);
        C::Init_Table(Certificates);
        C::Load(Space.File_TLS_Known_Cert, Certificates);
    });
    return Findings;
}

bool Has_Errors(const QList<Finding>& Findings)
{
    return std::any_of(Findings.begin(), Findings.end(),
                       [](const Finding& F) { return F.Level == Severity::Error; });
}

namespace {

QString Severity_Name(Severity Level)
{
    return Level == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

} // namespace

QString Finding_Line(const Finding& Item)
{
    const QString Place = Item.Row > 0 ? Item.File + u':' + QString::number(Item.Row) : Item.File;
    return QStringLiteral("%1: %2: %3").arg(Place, Severity_Name(Item.Level), Item.Text);
}

QByteArray Findings_Json(const QString& Config_Dir, const QList<Finding>& Findings)
{
    QJsonArray Items;
    qsizetype Errors = 0;
    for (const Finding& F : Findings) {
        Errors += F.Level == Severity::Error ? 1 : 0;
        Items.append(QJsonObject{{QStringLiteral("file"), F.File},
                                 {QStringLiteral("row"), F.Row},
                                 {QStringLiteral("severity"), Severity_Name(F.Level)},
                                 {QStringLiteral("text"), F.Text}});
    }
    const QJsonObject Root{{QStringLiteral("configuration"), QDir::toNativeSeparators(Config_Dir)},
                           {QStringLiteral("errors"), Errors},
                           {QStringLiteral("warnings"), Findings.size() - Errors},
                           {QStringLiteral("findings"), Items}};
    return QJsonDocument(Root).toJson(QJsonDocument::Indented);
}

} // namespace Cli
