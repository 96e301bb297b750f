#include "foundation/Station_Name.h"

#include <QStringList>

namespace {

constexpr qsizetype Max_Name_Length = 240;
constexpr qsizetype Max_Label_Length = 63;

bool Is_Digit(QChar C) { return C >= QLatin1Char('0') && C <= QLatin1Char('9'); }

bool Is_Name_Character(QChar C)
{
    return Is_Digit(C) || (C >= QLatin1Char('a') && C <= QLatin1Char('z')) || C == QLatin1Char('-');
}

bool All_Digits(QStringView Text, qsizetype Min, qsizetype Max)
{
    if (Text.size() < Min || Text.size() > Max)
        return false;
    for (QChar C : Text)
        if (!Is_Digit(C))
            return false;
    return true;
}

// "port-xyz" or "port-xyz-abcde": the names the ports of a device carry.
bool Is_Port_Label(QStringView Label)
{
    if (!Label.startsWith(QLatin1String("port-")))
        return false;
    const QStringView Rest = Label.mid(5);
    if (Rest.size() == 3)
        return All_Digits(Rest, 3, 3);
    return Rest.size() == 9 && All_Digits(Rest.first(3), 3, 3) && Rest[3] == QLatin1Char('-') &&
           All_Digits(Rest.mid(4), 5, 5);
}

} // namespace

std::optional<Station_Name_Rule> Broken_Station_Name_Rule(const QString& Name)
{
    if (Name.isEmpty() || Name.size() > Max_Name_Length)
        return Station_Name_Rule::Length;
    const QStringList Labels = Name.split(QLatin1Char('.'));
    for (const QString& Label : Labels)
        if (Label.isEmpty() || Label.size() > Max_Label_Length)
            return Station_Name_Rule::Label_Length;
    for (const QString& Label : Labels)
        for (QChar C : Label)
            if (!Is_Name_Character(C))
                return Station_Name_Rule::Characters;
    for (const QString& Label : Labels)
        if (Label.startsWith(QLatin1Char('-')) || Label.endsWith(QLatin1Char('-')))
            return Station_Name_Rule::Hyphen_At_Edge;
    if (Is_Port_Label(Labels.first()))
        return Station_Name_Rule::Port_Name;
    if (Labels.size() == 4 && std::all_of(Labels.begin(), Labels.end(),
                                          [](const QString& L) { return All_Digits(L, 1, 3); }))
        return Station_Name_Rule::Ipv4_Form;
    return std::nullopt;
}

std::expected<Station_Name, Station_Name_Rule> Station_Name::Checked(const QString& Name)
{
    if (const auto Broken = Broken_Station_Name_Rule(Name))
        return std::unexpected(*Broken);
    return Station_Name(Name);
}

QString Station_Name_Rule_Text(Station_Name_Rule Rule)
{
    switch (Rule) {
    case Station_Name_Rule::Length: return QStringLiteral("a station name has 1 to 240 characters");
    case Station_Name_Rule::Label_Length:
        return QStringLiteral("each part of a station name between dots has 1 to 63 characters");
    case Station_Name_Rule::Characters:
        return QStringLiteral("a station name holds only the letters a-z, the digits 0-9, '-' and '.'");
    case Station_Name_Rule::Hyphen_At_Edge:
        return QStringLiteral("no part of a station name begins or ends with '-'");
    case Station_Name_Rule::Port_Name:
        return QStringLiteral("a station name does not begin with port-xyz or port-xyz-abcde (x, y, z, a-e digits)");
    case Station_Name_Rule::Ipv4_Form:
        return QStringLiteral("a station name does not have the form of an IPv4 address n.n.n.n");
    }
    return {};
}
