#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <optional>

// Where an element of a project file starts: the line and column of its '<',
// both from 1 and counting characters. Line 0 where it is not known (a
// missing element, values that come from a window).
struct Xml_Place {
    int Line = 0;
    int Column = 0;
    bool Known() const { return Line > 0; }
};

// The places of the elements of one document parsed from Bytes, the file as
// read. Asked in document order it reads each byte once.
class Xml_Places {
public:
    explicit Xml_Places(QByteArray Bytes_) : Bytes(std::move(Bytes_)) {}
    Xml_Place Of(pugi::xml_node Node);

private:
    QByteArray Bytes;
    // How far the count has gone, and where it stands there.
    const char* Buffer = nullptr;
    qsizetype At = 0;
    Xml_Place Here{1, 1};
};

// The bytes of the project file at Path, read once through the regular-file
// reader; nothing when no file is there. A path that is there but cannot be
// read (no regular file, no permission) raises Xml_Parse_Error naming the
// file and the system's reason, as a malformed file does.
std::optional<QByteArray> Read_Project_File(const QString& Path);
