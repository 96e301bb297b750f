#include "ethernet_update/Update_Parameters.h"

#include "platform/Xml_File.h"

#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>

#include <optional>

namespace {

// No image of this device comes near this size; a larger file is a mistake.
constexpr qint64 Largest_Image = 16 * 1024 * 1024;

QString Text_Of(pugi::xml_node Node) { return Xml_File::Text(Node).trimmed(); }

std::expected<quint64, QString> Number(const QString& Text)
{
    bool Ok = false;
    quint64 Value = 0;
    if (Text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive))
        Value = Text.mid(2).toULongLong(&Ok, 16);
    else
        Value = Text.toULongLong(&Ok, 10);
    if (!Ok)
        return std::unexpected(QStringLiteral("\"%1\" is not a number").arg(Text));
    return Value;
}

// Four decimal parts of 0..255; the short and octal forms the system's
// parser would also take are refused, so "10.1" never means 10.0.0.1.
std::optional<QHostAddress> Dotted_Quad(const QString& Text)
{
    const QStringList Parts = Text.split(u'.');
    if (Parts.size() != 4)
        return std::nullopt;
    quint32 Address = 0;
    for (const QString& Part : Parts) {
        bool Ok = false;
        const int Value = Part.toInt(&Ok, 10);
        if (Part.isEmpty() || Part.size() > 3 || !Part.front().isDigit() || !Ok || Value > 255)
            return std::nullopt;
        Address = Address << 8 | static_cast<quint32>(Value);
    }
    return QHostAddress(Address);
}

class Reader {
public:
    explicit Reader(QString Where) : Where(std::move(Where)) {}

    std::expected<pugi::xml_node, QString> Element(pugi::xml_node Parent, const char* Name) const
    {
        pugi::xml_node Node = Parent.child(Name);
        if (!Node)
            return std::unexpected(QStringLiteral("%1: element %2 is missing").arg(Where, QLatin1String(Name)));
        return Node;
    }
    std::expected<quint64, QString> Unsigned(pugi::xml_node Parent, const char* Name, quint64 Low, quint64 High) const
    {
        const auto Node = Element(Parent, Name);
        if (!Node)
            return std::unexpected(Node.error());
        const auto Value = Number(Text_Of(*Node));
        if (!Value || *Value < Low || *Value > High)
            return std::unexpected(QStringLiteral("%1: element %2 must be a number from %3 to %4, not \"%5\"")
                                       .arg(Where, QLatin1String(Name))
                                       .arg(Low)
                                       .arg(High)
                                       .arg(Text_Of(*Node)));
        return *Value;
    }
    std::expected<bool, QString> Flag(pugi::xml_node Parent, const char* Name) const
    {
        const auto Value = Unsigned(Parent, Name, 0, 1);
        if (!Value)
            return std::unexpected(Value.error());
        return *Value == 1;
    }
    std::expected<QHostAddress, QString> Address(pugi::xml_node Parent, const char* Name) const
    {
        const auto Node = Element(Parent, Name);
        if (!Node)
            return std::unexpected(Node.error());
        const QString Text = Text_Of(*Node);
        const auto Host = Dotted_Quad(Text);
        if (!Host)
            return std::unexpected(
                QStringLiteral("%1: element %2 is not an IPv4 address: \"%3\"").arg(Where, QLatin1String(Name), Text));
        return *Host;
    }

    QString Where;
};

#define TRY(Var, Expr)                                                                                                 \
    auto Var = (Expr);                                                                                                 \
    if (!Var)                                                                                                          \
        return std::unexpected(Var.error());

std::expected<Update_Operation, QString> Read_Operation(pugi::xml_node Node, const QString& Where,
                                                       const QHostAddress& Device)
{
    const Reader R(Where);
    Update_Operation Op;
    TRY(Own_Address, R.Element(Node, "Ope_IP_Address"));
    if (Text_Of(*Own_Address).isEmpty()) {
        Op.Device = Device;
    } else {
        TRY(Address, R.Address(Node, "Ope_IP_Address"));
        Op.Device = *Address;
    }
    TRY(Port, R.Unsigned(Node, "Ope_Port", 1, 65535));
    TRY(Erase, R.Flag(Node, "Ope_Erase_Memory"));
    TRY(Name, R.Element(Node, "Ope_FileName"));
    TRY(Start, R.Unsigned(Node, "Ope_Start_Address", 0, 0xFFFFFFFFULL));
    TRY(Memory, R.Unsigned(Node, "Ope_Memory_Type", 0, 255));
    TRY(Bank, R.Unsigned(Node, "Ope_Bank_Type", 1, 2));
    TRY(Read_Back, R.Flag(Node, "Ope_Read_Back"));
    TRY(Go_To_App, R.Flag(Node, "Ope_GoToApp_After"));
    Op.Port = static_cast<quint16>(*Port);
    Op.Erase = *Erase;
    Op.Start_Address = static_cast<quint32>(*Start);
    Op.Memory_Type = static_cast<quint8>(*Memory);
    Op.Bank_Type = static_cast<quint8>(*Bank);
    Op.Read_Back = *Read_Back;
    Op.Go_To_App_After = *Go_To_App;

    Op.File_Name = Xml_File::Text(*Name);
    if (Op.File_Name.isEmpty())
        return std::unexpected(R.Where + QStringLiteral(": element Ope_FileName is empty"));
    QFile File(Op.File_Name);
    if (!QFileInfo(Op.File_Name).isFile())
        return std::unexpected(R.Where + QStringLiteral(": file not found: ") + Op.File_Name);
    if (File.size() > Largest_Image)
        return std::unexpected(R.Where + QStringLiteral(": file too large: ") + Op.File_Name);
    if (!File.open(QIODevice::ReadOnly))
        return std::unexpected(R.Where + QStringLiteral(": cannot read ") + Op.File_Name + QStringLiteral(": ")
                               + File.errorString());
    Op.Data = File.readAll();
    if (Op.Data.isEmpty())
        return std::unexpected(R.Where + QStringLiteral(": file is empty: ") + Op.File_Name);
    if (Op.Start_Address + static_cast<quint64>(Op.Data.size()) > 0x100000000ULL)
        return std::unexpected(R.Where + QStringLiteral(": the file does not fit above its start address"));
    return Op;
}

} // namespace

std::expected<Update_Plan, QString> Read_Update_Plan(const QString& Parameter_File)
{
    const QString Name = QFileInfo(Parameter_File).fileName();
    QFile File(Parameter_File);
    if (!File.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("cannot read %1: %2").arg(Parameter_File, File.errorString()));
    // The configurator's own reader refuses what is not well-formed XML, with
    // the parser's message, line and column.
    Xml_File Xml;
    QString Error;
    if (Xml.Load_Bytes(File.readAll(), Name, &Error) != Xml_File::Load_Status::Loaded)
        return std::unexpected(QStringLiteral("not well-formed XML: ") + Error);
    const pugi::xml_document& Doc = Xml.Document();
    // Entities a document type declaration defines are not expanded in the
    // tree; such a file was not written by the configurator.
    for (pugi::xml_node Node : Doc.children())
        if (Node.type() == pugi::node_doctype)
            return std::unexpected(Name + QStringLiteral(": a document type declaration is not read"));
    const pugi::xml_node Root = Doc.document_element();
    if (QLatin1String(Root.name()) != QLatin1String("Ethernet_Update"))
        return std::unexpected(Name + QStringLiteral(": the root element is not Ethernet_Update"));

    const Reader R(Name);
    Update_Plan Plan;
    TRY(Version, R.Element(Root, "Version"));
    if (Text_Of(*Version) != QStringLiteral("1000"))
        return std::unexpected(Name + QStringLiteral(": unknown Version \"%1\"").arg(Text_Of(*Version)));
    TRY(Title, R.Element(Root, "Title"));
    Plan.Title = Text_Of(*Title);
    TRY(Device, R.Address(Root, "IP_Address_Dev"));
    Plan.Device = *Device;
    TRY(Operations, R.Element(Root, "Operations"));
    int Index = 0;
    for (pugi::xml_node Node : Operations->children("Operation")) {
        TRY(Op, Read_Operation(Node, QStringLiteral("%1: Operation %2").arg(Name).arg(++Index), Plan.Device));
        Plan.Operations.append(*Op);
    }
    if (Plan.Operations.isEmpty())
        return std::unexpected(Name + QStringLiteral(": Operations holds no Operation"));
    return Plan;
}
