#pragma once

#include "foundation/Lang_Strings.h"
#include "platform/File_Write.h"

#include <QString>

#include <array>
#include <expected>
#include <optional>

// ParGen.xml: the general parameters of a configuration, one element each
// below the root, in this order.
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

// How the editor reads a stored check box back.
enum class Value_Kind {
    Text,
    // Checked when the text reads as the integer 1 ("01" and " 1" too).
    Check_Integer,
    // Checked only when the text is exactly "1".
    Check_Exact,
};

struct Element_Info {
    const char* Name;
    Value_Kind Kind;
    const char* Default;  // for a check box: "1" or "0"
};

const Element_Info& Info(int Element);

// The values as the editor's controls hold them; check boxes as "1" or "0".
struct Values {
    std::array<QString, Element_Count> Text;
    QString& operator[](int Element) { return Text[static_cast<size_t>(Element)]; }
    const QString& operator[](int Element) const { return Text[static_cast<size_t>(Element)]; }
    bool Is_Checked(int Element) const { return Text[static_cast<size_t>(Element)] == QLatin1String("1"); }
};

Values Defaults();
// Reads the file by the editor's rules: every element on its own, a missing
// file or element gives the default. A malformed file raises Xml_Parse_Error.
Values Load(const QString& Path);
// The file's bytes: the root with all elements in order, the version comment after it.
QByteArray To_Bytes(const Values& Data);
// Writes the file whole, replacing the previous one only when complete;
// on failure the system's error text.
std::expected<void, Write_Error> Save(const QString& Path, const Values& Data);

// The message of the first value that may not be saved, in the fixed order
// of the checks; nothing when every value is acceptable.
std::optional<QString> Check(const Values& Data, const Lang_Table& Lang);
// The same, with the element whose value the message is about.
struct Problem {
    QString Text;
    int Element = 0;
};
std::optional<Problem> Find_Problem(const Values& Data, const Lang_Table& Lang);

} // namespace Par_Gen
