#include "dcp/Device_List.h"

#include <QHash>
#include <QJsonArray>
#include <QStringList>

namespace Dcp {

void Sort_Devices(QList<Device_Record>& Devices)
{
    std::stable_sort(Devices.begin(), Devices.end(), [](const Device_Record& A, const Device_Record& B) {
        if (A.Is_Gateway() != B.Is_Gateway())
            return A.Is_Gateway();
        const QString Name_A = A.Name.value_or(QString()), Name_B = B.Name.value_or(QString());
        if (Name_A != Name_B)
            return Name_A < Name_B;
        return A.Mac < B.Mac;
    });
}

Duplicates Find_Duplicates(const QList<Device_Record>& Devices)
{
    QHash<QString, int> Names;
    QHash<quint32, int> Addresses;
    for (const Device_Record& D : Devices) {
        if (D.Name && !D.Name->isEmpty())
            ++Names[*D.Name];
        if (D.Ip && D.Ip->Address.Value() != 0)
            ++Addresses[D.Ip->Address.Value()];
    }
    Duplicates Found;
    for (auto It = Names.cbegin(); It != Names.cend(); ++It)
        if (It.value() > 1)
            Found.Names.insert(It.key());
    for (auto It = Addresses.cbegin(); It != Addresses.cend(); ++It)
        if (It.value() > 1)
            Found.Addresses.insert(It.key());
    return Found;
}

QString Role_Text(quint8 Role)
{
    static const char* const Names[] = {"IO device", "IO controller", "IO multidevice", "PN supervisor"};
    QStringList Parts;
    for (int Bit = 0; Bit < 4; ++Bit)
        if ((Role & (1 << Bit)) != 0)
            Parts.append(QString::fromLatin1(Names[Bit]));
    if (Role > 0x0F || Parts.isEmpty())
        Parts.append(QStringLiteral("0x%1").arg(Role, 2, 16, QLatin1Char('0')));
    return Parts.join(QLatin1Char('+'));
}

QString Printable(const QString& Text)
{
    QString Out;
    Out.reserve(Text.size());
    for (const char32_t C : Text.toUcs4()) {
        switch (C) {
        case U'\\': Out += QStringLiteral("\\\\"); continue;
        case U'"': Out += QStringLiteral("\\\""); continue;
        case U'\n': Out += QStringLiteral("\\n"); continue;
        case U'\r': Out += QStringLiteral("\\r"); continue;
        case U'\t': Out += QStringLiteral("\\t"); continue;
        default: break;
        }
        const QChar::Category Kind = QChar::category(C);
        if (Kind == QChar::Other_Control || Kind == QChar::Other_Format || Kind == QChar::Separator_Line ||
            Kind == QChar::Separator_Paragraph) {
            Out += C <= 0xFF ? QStringLiteral("\\x%1").arg(uint(C), 2, 16, QLatin1Char('0'))
                             : QStringLiteral("\\u{%1}").arg(uint(C), 4, 16, QLatin1Char('0'));
            continue;
        }
        Out += QString::fromUcs4(&C, 1);
    }
    return Out;
}

QString Device_Line(const Device_Record& D, const Duplicates& Shared)
{
    const auto Hex4 = [](std::optional<quint16> V) {
        return V ? QStringLiteral("0x%1").arg(*V, 4, 16, QLatin1Char('0')) : QStringLiteral("-");
    };
    QString Line = QStringLiteral("%1  name=%2  ip=%3  mask=%4  gateway=%5  vendor_id=%6  device_id=%7  vendor=\"%8\"  role=%9")
                       .arg(Mac_Text(D.Mac), D.Name ? QStringLiteral("\"%1\"").arg(Printable(*D.Name)) : QStringLiteral("-"),
                            D.Ip ? D.Ip->Address.Text() : QStringLiteral("-"), D.Ip ? D.Ip->Mask.Text() : QStringLiteral("-"),
                            D.Ip ? D.Ip->Gateway.Text() : QStringLiteral("-"), Hex4(D.Vendor_Id), Hex4(D.Device_Id),
                            Printable(D.Vendor.value_or(QString())), D.Role ? Role_Text(*D.Role) : QStringLiteral("-"));
    if (D.Is_Gateway())
        Line += QStringLiteral("  gw40610");
    if (Shared.Name_Shared(D))
        Line += QStringLiteral("  duplicate-name");
    if (Shared.Address_Shared(D))
        Line += QStringLiteral("  duplicate-ip");
    if (D.Ip_Conflict())
        Line += QStringLiteral("  address-conflict");
    return Line;
}

QJsonObject Devices_Json(const QString& Interface, const QList<Device_Record>& Devices)
{
    Search_Result Found;
    Found.Devices = Devices;
    return Devices_Json(Interface, Found);
}

QJsonObject Devices_Json(const QString& Interface, const Search_Result& Found)
{
    const auto Or_Null = [](const auto& Value, const auto& Make) -> QJsonValue {
        return Value ? QJsonValue(Make(*Value)) : QJsonValue(QJsonValue::Null);
    };
    const Duplicates Shared = Find_Duplicates(Found.Devices);
    QJsonArray Items;
    for (const Device_Record& D : Found.Devices) {
        Items.append(QJsonObject{
            {QStringLiteral("mac"), Mac_Text(D.Mac)},
            {QStringLiteral("name"), Or_Null(D.Name, [](const QString& S) { return S; })},
            {QStringLiteral("ip"), Or_Null(D.Ip, [](const Ip_Suite& S) { return S.Address.Text(); })},
            {QStringLiteral("mask"), Or_Null(D.Ip, [](const Ip_Suite& S) { return S.Mask.Text(); })},
            {QStringLiteral("gateway"), Or_Null(D.Ip, [](const Ip_Suite& S) { return S.Gateway.Text(); })},
            {QStringLiteral("vendor_id"), Or_Null(D.Vendor_Id, [](quint16 V) { return int(V); })},
            {QStringLiteral("device_id"), Or_Null(D.Device_Id, [](quint16 V) { return int(V); })},
            {QStringLiteral("vendor"), Or_Null(D.Vendor, [](const QString& S) { return S; })},
            {QStringLiteral("role"), Or_Null(D.Role, [](quint8 V) { return int(V); })},
            {QStringLiteral("gw40610"), D.Is_Gateway()},
            {QStringLiteral("duplicate_name"), Shared.Name_Shared(D)},
            {QStringLiteral("duplicate_ip"), Shared.Address_Shared(D)},
            {QStringLiteral("address_conflict"), D.Ip_Conflict()},
        });
    }
    return QJsonObject{{QStringLiteral("interface"), Interface},
                       {QStringLiteral("devices"), Items},
                       {QStringLiteral("dropped"), Found.Dropped},
                       {QStringLiteral("malformed"), Found.Malformed}};
}

} // namespace Dcp
