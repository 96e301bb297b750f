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

// Where and why a document is not well-formed XML. Line and column are
// 1-based and count characters, not bytes.
struct Xml_Syntax_Error {
    int Line = 1;
    int Column = 1;
    QString Message;
};

// A node that stands before the root element, where the project-file rule
// takes it as the root: every value is then read as its default.
struct Xml_Leading_Node {
    enum class Kind { Comment, Document_Type, Declaration, Processing_Instruction };
    Kind What = Kind::Comment;
    int Line = 1;  // where it starts; 1-based, counting characters
    int Column = 1;
};

// The one XML helper of the program's files. Reading follows the project-file
// rule: the first top-level node of any kind (a comment or declaration
// included) is the root, values are looked up by name, and what is missing
// gives the caller's default. A document that is not well-formed XML is
// refused as a whole; nothing of it is read.
class Xml_File {
public:
    enum class Load_Status { Loaded, Missing, Malformed, Unreadable };

    // No file at Path: Missing. A path that names no regular file (a
    // directory, a FIFO, a device) or a file that cannot be read: Unreadable,
    // with the file name and the reason in Error; it is never opened in a way
    // that could block. Not well-formed: Malformed, with the message in Error
    // (file, line, column, parser's description).
    Load_Status Load(const QString& Path, QString* Error = nullptr);
    // Load of bytes already read; File_Name only names them in the message.
    Load_Status Load_Bytes(const QByteArray& Data, const QString& File_Name, QString* Error = nullptr);
    // The first fault that keeps Data from being well-formed XML, or nullopt.
    // Accepted encodings: UTF-8 (the default), UTF-16 and UTF-32 (by
    // byte-order mark or by the first characters), and US-ASCII, ISO-8859-1
    // and windows-1252 (declared). Entity references may expand the text to
    // at most ten times its size (never less than a million characters,
    // never more than ten million); one document type declaration, before
    // the root element.
    static std::optional<Xml_Syntax_Error> Check_Well_Formed(const QByteArray& Data);
    // Like Load, but a malformed or unreadable file raises Xml_Parse_Error.
    bool Load_Or_Throw(const QString& Path);

    pugi::xml_document& Document() { return Doc; }
    pugi::xml_node Root() const;
    // The loaded document's first node when it is not the root element but
    // an element follows (a comment, a document type declaration, an XML
    // declaration or a processing instruction first): Root() is that node,
    // and nothing of the element is read. Nothing otherwise.
    std::optional<Xml_Leading_Node> Before_Root() const { return Leading; }

    // An element's text: all its character data, text and CDATA sections
    // joined, comments and processing instructions (and the text of nested
    // elements) left out.
    static QString Text(pugi::xml_node Element);
    // Text of the child element Name of Parent; nullopt when it is absent.
    static std::optional<QString> Child_Text(pugi::xml_node Parent, const char* Name);
    static std::optional<QString> Attribute(pugi::xml_node Node, const char* Name);

    static pugi::xml_node Add_Element(pugi::xml_node Parent, const char* Name);
    static pugi::xml_node Add_Text_Element(pugi::xml_node Parent, const char* Name, const QString& Text);
    static void Set_Attribute(pugi::xml_node Node, const char* Name, const QString& Value);

    void Clear()
    {
        Doc.reset();
        Leading.reset();
    }
    // UTF-8 without byte-order mark, no declaration, no indentation; written
    // whole and replaced only when complete.
    std::expected<void, Write_Error> Save(const QString& Path) const;
    QByteArray To_Bytes() const;

private:
    pugi::xml_document Doc;
    std::optional<Xml_Leading_Node> Leading;
};

// The comment the project-file writers put after the root.
inline constexpr const char* Sw_Version_Comment = "SW_VERSION = 1.000";
