#pragma once

#include "platform/File_Write.h"

#include <QString>

#include <expected>
#include <optional>
#include <pugixml.hpp>
#include <stdexcept>

// A file that is not well-formed XML. Raised by the readers of project files;
// the ui target's general error handler shows its message.
class Xml_Parse_Error : public std::runtime_error {
public:
    explicit Xml_Parse_Error(const QString& Message);
    QString Message() const { return Text; }

private:
    QString Text;
};

// The one XML helper of the program's files. Reading follows the project-file
// rule: the first top-level node of any kind (a comment or declaration
// included) is the root, values are looked up by name, and what is missing
// gives the caller's default.
class Xml_File {
public:
    enum class Load_Status { Loaded, Missing, Malformed };

    // Missing or unreadable file: Missing. Not well-formed: Malformed, with
    // the message in Error (file, line, column, parser's description).
    Load_Status Load(const QString& Path, QString* Error = nullptr);
    // Like Load, but a malformed file raises Xml_Parse_Error.
    bool Load_Or_Throw(const QString& Path);

    pugi::xml_document& Document() { return Doc; }
    pugi::xml_node Root() const;

    // Text of the child element Name of Parent; nullopt when it is absent.
    static std::optional<QString> Child_Text(pugi::xml_node Parent, const char* Name);
    static std::optional<QString> Attribute(pugi::xml_node Node, const char* Name);

    static pugi::xml_node Add_Element(pugi::xml_node Parent, const char* Name);
    static pugi::xml_node Add_Text_Element(pugi::xml_node Parent, const char* Name, const QString& Text);
    static void Set_Attribute(pugi::xml_node Node, const char* Name, const QString& Value);

    void Clear() { Doc.reset(); }
    // UTF-8 without byte-order mark, no declaration, no indentation; written
    // whole and replaced only when complete.
    std::expected<void, Write_Error> Save(const QString& Path) const;
    QByteArray To_Bytes() const;

private:
    pugi::xml_document Doc;
};

// The comment the project-file writers put after the root.
inline constexpr const char* Sw_Version_Comment = "SW_VERSION = 1.000";
