#pragma once

#include "platform/File_Write.h"
#include "platform/Xml_File.h"
#include "project/Xml_Place.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <expected>
#include <optional>

// ParGen.xml: the general parameters of a configuration, one element each
// below the root, in this order. Three parts of the program read it, each
// with its own defaults and rules; they are listed side by side here, so the
// file is described once.
namespace Par_Gen {

enum Element : int {
    IEC61850_Server_Port,
    IEC61850_Server_Password,
    TLS_Server_Enable,
    TLS_Server_Key,
    TLS_Server_Key_Password,
    TLS_Server_Server_Certificate,
    TLS_Server_Root_Certificate,
    TLS_Server_Enable_Known_Cert,
    PROFINET_IP1,
    PROFINET_IP2,
    PROFINET_IP3,
    PROFINET_IP4,
    PROFINET_SM1,
    PROFINET_SM2,
    PROFINET_SM3,
    PROFINET_SM4,
    PROFINET_GAT1,
    PROFINET_GAT2,
    PROFINET_GAT3,
    PROFINET_GAT4,
    PROFINET_EN_GAT,
    PROFINET_PORT,
    PROFINET_NAME_STA,
    PROFINET_NB_IN,
    PROFINET_NB_OUT,
    PROFINET_ENABLE_DIAGNOSTIC,
    PROFINET_DIAGNOSTIC_ADDRESS,
    Element_Count
};

// The parts of the program that read the file.
enum class Reader : int {
    Editor,  // the general parameters dialog, and the checks before a compilation
    Image,   // the image compiler
    Gsdml,   // the device description generator
};
inline constexpr int Reader_Count = 3;

// How a reader turns an element's text into its value. A missing element
// always gives the reader's default.
enum class Rule {
    Not_Read,        // the reader ignores the element
    Text,            // the text as it stands: present but empty stays empty
    Text_Not_Blank,  // the text, but an empty or blank one gives the default
    Integer,         // the integer reading; a text that is none gives the default
    Reads_As_1,      // a flag, set when the text reads as the integer 1 ("01", " 1", "$1")
    Exactly_1,       // a flag, set only when the text is exactly "1"
};

struct Reading {
    Rule How;
    const char* Default;  // for a flag "1" or "0"; for an integer its decimal text
};

struct Element_Info {
    const char* Name;
    std::array<Reading, Reader_Count> By;
    const Reading& For(Reader Who) const { return By[static_cast<size_t>(Who)]; }
};

const Element_Info& Info(int Element);

// What a file holds: the text of each element, or nothing where it is absent.
class Stored {
public:
    // The root is the document's first node, whatever it is; its children are
    // looked up by name. A missing or unreadable file gives Found() false and
    // every element absent; a malformed one raises Xml_Parse_Error.
    static Stored Read(const QString& Path);
    // The same from the file's bytes as read; File_Name names it in a parser's message.
    static Stored From_Bytes(const QByteArray& Data, const QString& File_Name);

    bool Found() const { return File_Found; }
    const std::optional<QString>& operator[](int Element) const { return Texts[static_cast<size_t>(Element)]; }

    // The value by the rule of Who (a Text or Text_Not_Blank rule; a flag as "1" or "0").
    QString Text(int Element, Reader Who) const;
    // The value by an Integer rule.
    qint32 Integer(int Element, Reader Who) const;
    // The value by a flag rule (Reads_As_1, Exactly_1).
    bool Flag(int Element, Reader Who) const;

    // Where an element, and the root, start in the file (unknown where absent).
    Xml_Place Place(int Element) const { return Places[static_cast<size_t>(Element)]; }
    Xml_Place Root_Place() const { return Root_At; }
    // What stands before the root element, which made every value its default.
    const std::optional<Xml_Leading_Node>& Before_Root() const { return Leading; }

private:
    bool File_Found = false;
    std::array<Xml_Place, Element_Count> Places;
    Xml_Place Root_At;
    std::optional<Xml_Leading_Node> Leading;
    std::array<std::optional<QString>, Element_Count> Texts;
};

// The values as the editor holds them and as they are written: every element's
// text, check boxes as "1" or "0".
struct Values {
    std::array<QString, Element_Count> Text;
    QString& operator[](int Element) { return Text[static_cast<size_t>(Element)]; }
    const QString& operator[](int Element) const { return Text[static_cast<size_t>(Element)]; }
    bool Is_Checked(int Element) const { return Text[static_cast<size_t>(Element)] == QLatin1String("1"); }
};

// The editor's defaults, for a new configuration.
Values Defaults();
// The file as the editor reads it: each element on its own by the editor's
// rule, a missing file or element giving the default. A malformed file raises
// Xml_Parse_Error.
Values Load(const QString& Path);
Values Editor_Values(const Stored& File);
// The file's bytes: the root with all elements in order, the version comment after it.
QByteArray To_Bytes(const Values& Data);
// Writes the file whole, replacing the previous one only when complete;
// on failure the system's error text.
std::expected<void, Write_Error> Save(const QString& Path, const Values& Data);

} // namespace Par_Gen
