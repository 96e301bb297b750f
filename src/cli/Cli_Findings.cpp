#include "cli/Cli_Findings.h"

#include "foundation/Text_Rules.h"
#include "editors/List_Files.h"
#include "editors/Par_Gen_Checks.h"
#include "editors/Table_Model.h"
#include "editors/Variable_Placement.h"
#include "certificates/Certificate_Checks.h"
#include "platform/Xml_File.h"
#include "foundation/Workspace.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace Cli {

namespace {

Severity Level_Of(Certificates::Severity Level)
{
    return Level == Certificates::Severity::Blocking ? Severity::Error : Severity::Warning;
}

} // namespace

QList<Finding> Check_Configuration(const Workspace& Space, Decimal_Separator& Separator)
{
    QList<Finding> Findings;
    const auto Add = [&](const QString& File, QList<int> Rows, Severity Level, const QString& Text) {
        Rows.removeAll(0);
        Findings.append({QDir::toNativeSeparators(File), Rows.value(0), Rows, Level, Text});
    };

    // Each file is read once; a file that is not well-formed is one error and
    // whatever depends on it is left unchecked.
    const auto Guarded = [&](const QString& File, auto&& Read) {
        try {
            Read();
            return true;
        } catch (const Xml_Parse_Error& E) {
            Add(File, {}, Severity::Error, E.Message());
            Findings.last().Not_Well_Formed = true;
            return false;
        }
    };

    namespace C = TLS_Known_Cert;
    Par_Gen::Values General;
    const bool General_Read = Guarded(Space.File_ParGen, [&] { General = Par_Gen::Load(Space.File_ParGen); });
    Table_Model Known_Table(Check_Kind::State_Check, C::Data_Rows + 1, C::Columns);
    C::Init_Table(Known_Table);
    // The list is read first for the server's checks and reported after the
    // variables, in the order the window checks the files.
    std::optional<QString> Known_Not_Well_Formed;
    try {
        C::Load(Space.File_TLS_Known_Cert, Known_Table);
    } catch (const Xml_Parse_Error& E) {
        Known_Not_Well_Formed = E.Message();
    }
    const bool Known_Read = !Known_Not_Well_Formed;
    QList<Certificates::Known_Certificate> Known;
    for (int Row = 1; Row < Known_Table.Row_Count(); ++Row)
        Known.append({Known_Table.Checked(Row, C::Col_Enable), Known_Table.Cell(Row, C::Col_Certificate),
                      Known_Table.Cell(Row, C::Col_Mnemonic)});
    const QDateTime Now = QDateTime::currentDateTimeUtc();

    if (General_Read) {
        for (const Par_Gen::Problem& Problem : Par_Gen::Find_Problems(General, Space.Lang_Strings))
            Add(Space.File_ParGen, {}, Severity::Error, Problem.Text);
        const Certificates::Server_Material Material{
            General.Is_Checked(Par_Gen::TLS_Server_Enable),        General[Par_Gen::TLS_Server_Key],
            General[Par_Gen::TLS_Server_Key_Password],             General[Par_Gen::TLS_Server_Server_Certificate],
            General[Par_Gen::TLS_Server_Root_Certificate],
            // A list that cannot be read is reported with the list.
            Known_Read && General.Is_Checked(Par_Gen::TLS_Server_Enable_Known_Cert)};
        if (Material.TLS_Enabled)
            for (const Certificates::Finding& F :
                 Certificates::Check_Server(Material, Known_Read ? Known : QList<Certificates::Known_Certificate>(),
                                            Now, Space.Lang_Strings))
                Add(Space.File_ParGen, {}, Level_Of(F.Level), F.Text);
    }

    namespace V = IEC61850_Variables;
    Table_Model Variables(Check_Kind::Text_Check, V::Data_Rows + 1, V::Columns);
    V::Init_Table(Variables);
    if (Guarded(Space.File_IEC61850_Variables, [&] { V::Load(Space.File_IEC61850_Variables, Variables); })) {
        for (const V::Problem& Problem :
             V::Find_Problems(Variables, Get_Decimal_Separator(Separator), V::Data_Array_Size, Space.Lang_Strings))
            Add(Space.File_IEC61850_Variables, {Problem.Row}, Severity::Error, Problem.Text);
        for (const Variable_Placement::Finding& F : Variable_Placement::Analyse(V::Rows(Variables)).Findings)
            Add(Space.File_IEC61850_Variables, F.Rows, Severity::Warning,
                Variable_Placement::Finding_Text(F, Space.Lang_Strings));
    }

    if (Known_Not_Well_Formed) {
        Add(Space.File_TLS_Known_Cert, {}, Severity::Error, *Known_Not_Well_Formed);
        Findings.last().Not_Well_Formed = true;
    } else {
        // The rows the file holds: up to the first without a certificate.
        QList<Certificates::Known_Certificate> Saved;
        for (const Certificates::Known_Certificate& Row : Known) {
            if (Trimmed(Row.Certificate).isEmpty())
                break;
            Saved.append(Row);
        }
        // That no listed certificate is enabled is reported with the general
        // parameters, where it is in force.
        if (!Saved.isEmpty())
            for (const Certificates::Finding& F :
                 Certificates::Check_Known_List(Saved, false, Now, Space.Lang_Strings))
                Add(Space.File_TLS_Known_Cert, {F.Row}, Level_Of(F.Level), F.Text);
    }
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

QVariantList Rows_Of(const Finding& Item)
{
    QVariantList Rows;
    for (const int Row : Item.Rows)
        Rows.append(Row);
    return Rows;
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
                                 {QStringLiteral("rows"), QJsonArray::fromVariantList(Rows_Of(F))},
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
