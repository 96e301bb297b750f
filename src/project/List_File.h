#pragma once

#include "platform/File_Write.h"
#include "platform/Xml_File.h"
#include "project/Xml_Place.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <expected>
#include <optional>
#include <span>

// What the two list files share: a root holding one "row" element per entry,
// each entry's values in attributes, the version comment after the root. The
// editor and the image compiler read the same attributes with their own
// defaults and rules; each file lists them side by side in one table.
namespace List_File {

enum class Reader : int {
    Editor,  // the list's editor, and the checks before a compilation
    Image,   // the image compiler
};
inline constexpr int Reader_Count = 2;

// How a reader turns an attribute's value into its own. A missing attribute
// gives the reader's default, read by the same rule.
enum class Rule {
    Not_Read,       // the reader ignores the attribute
    Text,           // the value as it stands
    Upper_Trimmed,  // the value trimmed and upper-cased
    Integer,        // the integer reading; a value that is none gives the default
    Exactly_Y,      // a flag, set only when the value is exactly "Y"
    Y_Any_Case,     // a flag, set when the value trimmed is "Y" or "y"
    Not_N,          // a flag, set unless the value is exactly "N"
};

// The attributes both lists carry.
inline constexpr char Enable_Name[] = "Enable";
inline constexpr char Mnemonic_Name[] = "Mnemonic";

struct Reading {
    Rule How;
    const char* Default;
};

struct Attribute_Info {
    const char* Name;
    std::array<Reading, Reader_Count> By;
    const Reading& For(Reader Who) const { return By[static_cast<size_t>(Who)]; }
};

// One entry as stored: each attribute's value in table order, or nothing where it is absent.
struct Stored_Row {
    QList<std::optional<QString>> Values;
    // Where the entry's element starts in the file.
    Xml_Place Place;
};

// A whole list file as stored.
struct Stored {
    bool Found = false;
    // Every child of the root in document order, whatever its name or kind,
    // but the blank text a hand-edited file may hold between elements.
    QList<Stored_Row> Rows;
    // What stands before the root element, which left the list without rows.
    std::optional<Xml_Leading_Node> Before_Root;
};

// The root is the document's first node, whatever it is. A missing or
// unreadable file gives Found false and no rows; a malformed one raises
// Xml_Parse_Error.
Stored Read(const QString& Path, std::span<const Attribute_Info> Attributes);
// The same from the file's bytes as read; File_Name names it in a parser's message.
Stored From_Bytes(const QByteArray& Data, const QString& File_Name, std::span<const Attribute_Info> Attributes);

// A value by the rule of its reader: the text for the text rules, "Y" or "N" for a flag.
QString Text(const Attribute_Info& Info, Reader Who, const std::optional<QString>& Value);
qint32 Integer(const Attribute_Info& Info, Reader Who, const std::optional<QString>& Value);
bool Flag(const Attribute_Info& Info, Reader Who, const std::optional<QString>& Value);

// One entry as stored, each attribute read by the rule of the reader that asks.
class Row {
public:
    Row(const Stored_Row& Stored_, std::span<const Attribute_Info> Attributes_)
        : Stored(Stored_), Attributes(Attributes_)
    {
    }
    const std::optional<QString>& operator[](int Attribute) const { return Stored.Values[Attribute]; }
    QString Text(int Attribute, Reader Who) const { return List_File::Text(Attributes[Attribute], Who, (*this)[Attribute]); }
    qint32 Integer(int Attribute, Reader Who) const
    {
        return List_File::Integer(Attributes[Attribute], Who, (*this)[Attribute]);
    }
    bool Flag(int Attribute, Reader Who) const { return List_File::Flag(Attributes[Attribute], Who, (*this)[Attribute]); }

private:
    const Stored_Row& Stored;
    std::span<const Attribute_Info> Attributes;
};

// The rows a file holds: Rows (texts in attribute order) up to, not
// including, the first whose Key text is empty after trimming.
QList<QStringList> Rows_To_Write(const QList<QStringList>& Rows, int Key);

// The file's bytes: Root_Name, a "row" per written row with every attribute
// in table order, the version comment after the root.
QByteArray To_Bytes(const char* Root_Name, std::span<const Attribute_Info> Attributes,
                    const QList<QStringList>& Rows, int Key);
std::expected<void, Write_Error> Save(const QString& Path, const char* Root_Name,
                                      std::span<const Attribute_Info> Attributes, const QList<QStringList>& Rows,
                                      int Key);

} // namespace List_File
