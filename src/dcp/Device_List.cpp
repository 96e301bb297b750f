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

QJsonObject Devices_Json(const QString& Interface, const QList<Device_Record>& Devices)
{
    const auto Or_Null = [](const auto& Value, const auto& Make) -> QJsonValue {
        return Value ? QJsonValue(Make(*Value)) : QJsonValue(QJsonValue::Null);
    };
    QJsonArray Items;
    for (const Device_Record& D : Devices) {
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
        });
    }
    return QJsonObject{{QStringLiteral("interface"), Interface}, {QStringLiteral("devices"), Items}};
}

} // namespace Dcp
