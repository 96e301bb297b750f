#pragma once

#include "foundation/Foundation_Texts.h"

#include <QString>

#include <expected>
#include <optional>

// The rules a PROFINET station name (NameOfStation) must keep, in the order
// they are checked.
enum class Station_Name_Rule {
    Length,          // 1 to 240 characters
    Label_Length,    // each label between the dots 1 to 63 characters
    Characters,      // only a-z, 0-9, '-' and the dots between labels
    Hyphen_At_Edge,  // no label begins or ends with '-'
    Port_Name,       // the first label is not "port-xyz" or "port-xyz-abcde"
    Ipv4_Form,       // the whole name is not "n.n.n.n" with n of 1 to 3 digits
};

// The first rule Name breaks, or nothing when it is a valid station name.
std::optional<Station_Name_Rule> Broken_Station_Name_Rule(const QString& Name);

// A station name that keeps every rule. One is made only through Checked,
// so whoever is handed one never checks it again.
class Station_Name {
public:
    static std::expected<Station_Name, Station_Name_Rule> Checked(const QString& Name);
    const QString& Text() const { return Value; }

private:
    explicit Station_Name(const QString& Name) : Value(Name) {}
    QString Value;
};

// The string-table slot of the rule in a sentence, in the chosen language.
constexpr int Station_Name_Rule_Slot(Station_Name_Rule Rule)
{
    return Foundation_Text::First_Station_Name_Rule + static_cast<int>(Rule);
}

// The rule in a sentence, in English (for the command line and the log).
QString Station_Name_Rule_Text(Station_Name_Rule Rule);
