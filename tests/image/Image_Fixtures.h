#pragma once

// Project files as the editors write them, for the compiler's tests and
// benchmark: root first, the version comment after it, no declaration.

#include "platform/Xml_File.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace Image_Fixtures {

struct Var_Row {
    QString Enable = QStringLiteral("Y");
    QString Name;
    QString Type = QStringLiteral("Int");
    QString Length = QStringLiteral("16");
    QString ReadOnly = QStringLiteral("N");
    QString Position = QStringLiteral("0");
    QString StartBit = QStringLiteral("0");
    QString Conversion = QStringLiteral("None");
    QString MultiplicationFactor = QStringLiteral("None");
    QString Swap = QStringLiteral("N");
    QString SwapWord = QStringLiteral("N");
    QString Mnemonic;
    // Attributes left out of the row, as in a hand-edited file.
    QSet<QString> Omit;
};

struct Cert_Row {
    QString Enable = QStringLiteral("Y");
    QString Certificate;
    QString Mnemonic;
};

// The general parameters in the editor's order, with the values a new
// configuration gets.
inline const QList<std::pair<const char*, QString>>& ParGen_Defaults()
{
    static const QList<std::pair<const char*, QString>> Defaults = {
        {"IEC61850_Server_Port", "102"},         {"IEC61850_Server_Password", ""},
        {"TLS_Server_Enable", "0"},              {"TLS_Server_Key", ""},
        {"TLS_Server_Key_Password", ""},         {"TLS_Server_Server_Certificate", ""},
        {"TLS_Server_Root_Certificate", ""},     {"TLS_Server_Enable_Known_Cert", "0"},
        {"PROFINET_IP1", "192"},                 {"PROFINET_IP2", "168"},
        {"PROFINET_IP3", "0"},                   {"PROFINET_IP4", "5"},
        {"PROFINET_SM1", "255"},                 {"PROFINET_SM2", "255"},
        {"PROFINET_SM3", "255"},                 {"PROFINET_SM4", "0"},
        {"PROFINET_GAT1", "192"},                {"PROFINET_GAT2", "168"},
        {"PROFINET_GAT3", "0"},                  {"PROFINET_GAT4", "1"},
        {"PROFINET_EN_GAT", "0"},                {"PROFINET_PORT", "2000"},
        {"PROFINET_NAME_STA", "devicename1"},    {"PROFINET_NB_IN", "1438"},
        {"PROFINET_NB_OUT", "1438"},             {"PROFINET_ENABLE_DIAGNOSTIC", "0"},
        {"PROFINET_DIAGNOSTIC_ADDRESS", "0"},
    };
    return Defaults;
}

struct Project {
    bool Has_ParGen = false;
    QMap<QString, QString> ParGen; // values that differ from the defaults
    QSet<QString> ParGen_Omit;     // elements left out
    bool Has_Variables = false;
    QList<Var_Row> Variables;
    bool Has_Known_Cert = false;
    QList<Cert_Row> Known_Cert;

    // The value a reader finds in ParGen.xml; nullopt when the element or file is absent.
    std::optional<QString> ParGen_Value(const QString& Name) const
    {
        if (!Has_ParGen || ParGen_Omit.contains(Name))
            return std::nullopt;
        if (ParGen.contains(Name))
            return ParGen.value(Name);
        for (const auto& [Element, Value] : ParGen_Defaults())
            if (Name == QLatin1StringView(Element))
                return Value;
        return std::nullopt;
    }
};

inline void Save_Or_Die(const Xml_File& Xml, const QString& Path)
{
    if (!Xml.Save(Path))
        qFatal("cannot write %s", qPrintable(Path));
}

inline void Write_ParGen(const Project& P, const QString& Path)
{
    Xml_File Xml;
    pugi::xml_node Root = Xml_File::Add_Element(Xml.Document(), "Par_Gen");
    for (const auto& [Element, Default] : ParGen_Defaults()) {
        const QString Name = QLatin1StringView(Element);
        if (!P.ParGen_Omit.contains(Name))
            Xml_File::Add_Text_Element(Root, Element, P.ParGen.value(Name, Default));
    }
    Xml.Document().append_child(pugi::node_comment).set_value(Sw_Version_Comment);
    Save_Or_Die(Xml, Path);
}

inline void Write_Variables(const QList<Var_Row>& Rows, const QString& Path)
{
    Xml_File Xml;
    pugi::xml_node Root = Xml_File::Add_Element(Xml.Document(), "IEC61850_Variables");
    Xml.Document().append_child(pugi::node_comment).set_value(Sw_Version_Comment);
    for (const Var_Row& R : Rows) {
        pugi::xml_node Row = Xml_File::Add_Element(Root, "row");
        const std::pair<const char*, const QString*> Attributes[] = {
            {"Enable", &R.Enable},         {"Name", &R.Name},
            {"Type", &R.Type},             {"Length", &R.Length},
            {"ReadOnly", &R.ReadOnly},     {"Position", &R.Position},
            {"StartBit", &R.StartBit},     {"Conversion", &R.Conversion},
            {"MultiplicationFactor", &R.MultiplicationFactor},
            {"Swap", &R.Swap},             {"SwapWord", &R.SwapWord},
            {"Mnemonic", &R.Mnemonic},
        };
        for (const auto& [Name, Value] : Attributes)
            if (!R.Omit.contains(QLatin1StringView(Name)))
                Xml_File::Set_Attribute(Row, Name, *Value);
    }
    Save_Or_Die(Xml, Path);
}

inline void Write_Known_Cert(const QList<Cert_Row>& Rows, const QString& Path)
{
    Xml_File Xml;
    pugi::xml_node Root = Xml_File::Add_Element(Xml.Document(), "TLS_Server_Known_Cert");
    Xml.Document().append_child(pugi::node_comment).set_value(Sw_Version_Comment);
    for (const Cert_Row& R : Rows) {
        pugi::xml_node Row = Xml_File::Add_Element(Root, "row");
        Xml_File::Set_Attribute(Row, "Enable", R.Enable);
        Xml_File::Set_Attribute(Row, "Certificate", R.Certificate);
        Xml_File::Set_Attribute(Row, "Mnemonic", R.Mnemonic);
    }
    Save_Or_Die(Xml, Path);
}

// Writes the project's files into Dir (the files it does not have are left absent).
inline void Write_Project(const Project& P, const QString& File_ParGen, const QString& File_Variables,
                          const QString& File_Known_Cert)
{
    if (P.Has_ParGen)
        Write_ParGen(P, File_ParGen);
    if (P.Has_Variables)
        Write_Variables(P.Variables, File_Variables);
    if (P.Has_Known_Cert)
        Write_Known_Cert(P.Known_Cert, File_Known_Cert);
}

// The little-endian 32-bit value at Offset of a bank, as the device reads it.
inline quint32 U32(const QByteArray& Bytes, qsizetype Offset)
{
    quint32 Value = 0;
    for (int I = 3; I >= 0; --I)
        Value = (Value << 8) | static_cast<quint8>(Bytes.at(Offset + I));
    return Value;
}

// A text as the compiler stores it: the low 8 bits of each UTF-16 unit.
inline QByteArray Low_Bytes(const QString& Text)
{
    QByteArray Bytes;
    for (const QChar C : Text)
        Bytes.append(static_cast<char>(C.unicode() & 0xFF));
    return Bytes;
}

// A text of N characters that looks like a PEM block, line breaks included.
inline QString Pem_Text(int N, QChar Fill = QLatin1Char('A'))
{
    QString Text;
    Text.reserve(N);
    while (Text.size() < N)
        Text.append((Text.size() % 65 == 64) ? QChar(QLatin1Char('\n')) : Fill);
    return Text;
}

// The largest configuration the editors allow: 50 variables with 32-character
// names, 10 known certificates of 2 KB, key and certificates of 3 KB each,
// TLS and known certificates on.
inline Project Largest_Project()
{
    Project P;
    P.Has_ParGen = true;
    P.ParGen["IEC61850_Server_Password"] = QStringLiteral("password-of-the-server");
    P.ParGen["TLS_Server_Enable"] = QStringLiteral("1");
    P.ParGen["TLS_Server_Enable_Known_Cert"] = QStringLiteral("1");
    P.ParGen["TLS_Server_Key"] = Pem_Text(3072, QLatin1Char('K'));
    P.ParGen["TLS_Server_Key_Password"] = QStringLiteral("pass-phrase");
    P.ParGen["TLS_Server_Server_Certificate"] = Pem_Text(3072, QLatin1Char('S'));
    P.ParGen["TLS_Server_Root_Certificate"] = Pem_Text(3072, QLatin1Char('R'));
    P.Has_Variables = true;
    for (int I = 0; I < 50; ++I) {
        Var_Row V;
        V.Name = QStringLiteral("Variable_Name_Of_Length_32_%1").arg(I, 5, 10, QLatin1Char('0'));
        V.Type = I % 3 == 0 ? QStringLiteral("Float") : I % 3 == 1 ? QStringLiteral("Int") : QStringLiteral("Digital (Bit)");
        V.Length = QStringLiteral("4");
        V.Position = QString::number(I * 4);
        V.MultiplicationFactor = QStringLiteral("0,25");
        V.Mnemonic = QStringLiteral("Description of variable %1").arg(I);
        P.Variables.append(V);
    }
    P.Has_Known_Cert = true;
    for (int I = 0; I < 10; ++I)
        P.Known_Cert.append({QStringLiteral("Y"), Pem_Text(2048, QChar(QLatin1Char('a' + I))),
                             QStringLiteral("Client %1").arg(I)});
    return P;
}

} // namespace Image_Fixtures
