#pragma once

#include "platform/File_Write.h"

#include <QByteArray>
#include <QString>

#include <expected>

// Tavorix.xml: what the program remembers between runs, each value the text
// of one element below a group element of the root.
namespace Settings_File {

enum Setting : int {
    Project_Name,
    Last_IP_Address,
    Language_Name,
    Enable_Internet,
    Enable_Update,
    Enable_Jump_Field_Tables,
    Double_Click_Auto_Size,
    // The network interface last searched for devices; written only once there is one.
    Last_Interface,
    Setting_Count
};

struct Values {
    QString Project_Name;
    QString Last_IP_Address;
    QString Language_Name;
    bool Enable_Internet = false;
    bool Enable_Update = false;
    bool Enable_Jump_Field_Tables = false;
    bool Double_Click_Auto_Size = false;
    QString Last_Interface;
};

// What a first start without the file takes.
Values Defaults();
// Reads the file. The root is the document's first node, whatever it is; each
// value is read on its own, and a missing group or element gives its default.
// A flag is set only by the exact text "1". A missing, unreadable or
// malformed file gives the defaults.
Values Read(const QString& Path);
// The file's bytes: the root, each group with its element in order, flags as
// "1" or "0"; no comment.
QByteArray To_Bytes(const Values& Data);
// Writes the file whole; the previous file stays on failure.
std::expected<void, Write_Error> Save(const QString& Path, const Values& Data);

} // namespace Settings_File
