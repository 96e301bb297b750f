#pragma once

#include "platform/File_Write.h"
#include "project/Par_Gen_File.h"

#include <optional>

#include <QByteArray>
#include <QString>

#include <expected>

class Workspace;

// The three configured values the device description carries; by default
// the generator's defaults for a configuration without general parameters.
struct Profinet_Par {
    qint32 Input_Bytes = Par_Gen::Stored().Integer(Par_Gen::PROFINET_NB_IN, Par_Gen::Reader::Gsdml);
    qint32 Output_Bytes = Par_Gen::Stored().Integer(Par_Gen::PROFINET_NB_OUT, Par_Gen::Reader::Gsdml);
    QString Name_Station = Par_Gen::Stored().Text(Par_Gen::PROFINET_NAME_STA, Par_Gen::Reader::Gsdml);
};

// The values by the generator's reading of the general parameters.
Profinet_Par Read_Profinet_Par(const Par_Gen::Stored& File);

inline constexpr int Profinet_XML_Line_Count = 167;

// The name of station as it may stand inside a double-quoted attribute: the
// markup characters become entities, tab and line breaks character
// references, and characters XML cannot carry at all the replacement
// character, so any name keeps the file well-formed and its line count.
QString Escape_Attribute(const QString& Text);

// The whole device description for Par: UTF-8 with byte-order mark, CR LF
// after every line.
QByteArray Compose_Profinet_XML(const Profinet_Par& Par);

// Writes the PROFINET device description (GSDML) of the active configuration.
// It asks nothing: where the file goes is decided before, by the file-name
// dialog or the command line.
class Profinet_XML {
public:
    explicit Profinet_XML(const Workspace& Space);

    // Reads the values from the general parameters file, with their defaults.
    // A file that is not well-formed raises Xml_Parse_Error.
    void Load_Profinet_Par();
    // Reads the values and writes the file at Path whole, replacing any file
    // there; on failure the system's error text and no new file.
    std::expected<void, Write_Error> Create_Profinet_XML(const QString& Path);

    Profinet_Par Par;

private:
    const Workspace& Space;
};
