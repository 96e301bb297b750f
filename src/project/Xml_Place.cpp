#include "project/Xml_Place.h"

#include "platform/File_Read.h"
#include "platform/Xml_File.h"

#include <QFileInfo>

#include <cstring>

Xml_Place Xml_Places::Of(pugi::xml_node Node)
{
    const ptrdiff_t Offset = Node.offset_debug();
    if (Offset <= 0 || Node.type() != pugi::node_element)
        return {};
    // The offset is that of the element's name, one past its '<'. Where the
    // parser read another encoding it counts the parser's UTF-8 copy, in
    // which the line ends are where they were.
    const char* Name = Node.name();
    const qsizetype Name_Length = static_cast<qsizetype>(std::strlen(Name));
    const bool In_Bytes = Offset + Name_Length <= Bytes.size() && Bytes.at(static_cast<qsizetype>(Offset - 1)) == '<'
                          && std::memcmp(Bytes.constData() + Offset, Name, static_cast<size_t>(Name_Length)) == 0;
    const char* Source = In_Bytes ? Bytes.constData() : Name - Offset;
    const qsizetype Target = Offset - 1;
    if (Source != Buffer || Target < At) {
        Buffer = Source;
        At = 0;
        Here = {1, 1};
        // A byte-order mark is no character of the first line.
        if (Target >= 3 && std::memcmp(Source, "\xEF\xBB\xBF", 3) == 0)
            At = 3;
    }
    for (; At < Target; ++At) {
        const unsigned char C = static_cast<unsigned char>(Buffer[At]);
        if (C == '\n') {
            ++Here.Line;
            Here.Column = 1;
        } else if ((C & 0xC0) != 0x80) {
            // Characters, not bytes: UTF-8 continuation bytes are not counted.
            ++Here.Column;
        }
    }
    return Here;
}

std::optional<QByteArray> Read_Project_File(const QString& Path)
{
    std::expected<QByteArray, Read_Error> Data = Read_Regular_File(Path);
    if (Data)
        return std::move(*Data);
    // A link to nothing is there all the same: it is no missing file.
    if (Data.error().Missing && !QFileInfo(Path).isSymLink())
        return std::nullopt;
    throw Xml_Parse_Error(QFileInfo(Path).fileName() + QStringLiteral(": ") + Data.error().Text);
}
