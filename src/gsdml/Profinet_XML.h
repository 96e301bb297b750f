#pragma once

#include "platform/File_Write.h"

#include <optional>

#include <QByteArray>
#include <QString>

#include <expected>

class Workspace;
class Prompter;
class Save_File_Dialog;

// The three configured values the device description carries.
struct Profinet_Par {
    static constexpr qint32 Default_Bytes = 1438;
    qint32 Input_Bytes = Default_Bytes;   // bytes the converter receives (PROFINET_NB_IN)
    qint32 Output_Bytes = Default_Bytes;  // bytes the converter sends (PROFINET_NB_OUT)
    QString Name_Station = QStringLiteral("SERIAL");
};

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
class Profinet_XML {
public:
    Profinet_XML(const Workspace& Space, Prompter& Prompts, Save_File_Dialog& Dialog);

    // Reads the values from the general parameters file, with their defaults.
    // A file that is not well-formed raises Xml_Parse_Error.
    void Load_Profinet_Par();
    // Reads the values and writes the file at Path whole, replacing any file
    // there; on failure the system's error text and no new file.
    std::expected<void, Write_Error> Create_Profinet_XML(const QString& Path);
    // Asks for the folder (the file keeps Name) and, for an existing file,
    // whether to overwrite it; then writes it, showing a write failure.
    // The path written, or nothing when the user gave up or the write failed
    // (the failure has been shown).
    std::optional<QString> Save_Profinet_XML(const QString& Name);

    Profinet_Par Par;

private:
    const Workspace& Space;
    Prompter& Prompts;
    Save_File_Dialog& Dialog;
};
