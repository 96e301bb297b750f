#pragma once

#include "dcp/Dcp_Frames.h"
#include "foundation/Ipv4_Address.h"
#include "foundation/Station_Name.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <expected>
#include <functional>
#include <optional>

class Decimal_Separator;
class Workspace;

// The plant list: one row per gateway, "mac,station_name,ip,mask,gateway,
// configuration", separated by ',' or ';' as the header line shows. Read
// whole, every problem with its line and column, before anything is sent.
namespace Commission {

// The columns by their header names, in the order a written list has them.
enum Column : int { Column_Mac, Column_Name, Column_Ip, Column_Mask, Column_Gateway, Column_Configuration, Column_Count };
const char* Column_Header(int Column);

struct Plant_Row {
    int Line = 0; // where the row starts in the file, from 1
    Dcp::Mac_Address Mac{};
    QString Station_Name;
    Dcp::Ip_Suite Ip;
    // The name and the IP parameter as the list's reading found them keeping
    // the device's rules: the run sends these without checking them again.
    std::optional<::Station_Name> Name_Checked;
    std::optional<Device_Ip_Parameter> Ip_Checked;
    QString Configuration;     // as written; empty: names and addresses only
    QString Configuration_Dir; // the folder it names, absolute; empty when none
};

struct List_Problem {
    int Line = 0;
    int Column = 0; // from 1; 0 for the line as a whole
    QString Text;
};

struct Plant_List {
    QString Path;
    QList<Plant_Row> Rows;
    QList<List_Problem> Problems;
    // The problems of the row that starts on Line.
    QList<List_Problem> Problems_Of(int Line) const;
};

// What a configuration says about its gateway, read from its general
// parameters, and whether its check found an error (the first one's text).
struct Configuration_Facts {
    QString Station_Name;
    Dcp::Ip_Suite Ip;
    std::optional<QString> First_Error;
};
// Looks at the configuration in Dir (known to exist); nothing with the reason
// when its files cannot be read.
using Configuration_Lookup = std::function<std::expected<Configuration_Facts, QString>(const QString& Dir)>;

// Reads the list's bytes. Configuration names that are no path are looked up
// below Projects_Dir; relative paths are taken from the list's own folder.
Plant_List Read_Plant_List(const QByteArray& Bytes, const QString& List_Dir, const QString& Projects_Dir,
                           const Configuration_Lookup& Lookup);

// Reads the file; nothing with the reason when it cannot be read.
std::expected<Plant_List, QString> Read_Plant_List_File(const QString& Path, const QString& Projects_Dir,
                                                        const Configuration_Lookup& Lookup);

// The lookup through the configuration's own files and the checks the
// command "check" runs. Space gives the program folders and the language.
Configuration_Lookup Checked_Configurations(const Workspace& Space, Decimal_Separator& Separator);

// "LINE:COLUMN: TEXT", as tools that read compiler output expect with the file before it.
QString Problem_Line(const QString& Path, const List_Problem& Problem);

} // namespace Commission
