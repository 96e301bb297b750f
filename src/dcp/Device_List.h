#pragma once

#include "dcp/Dcp_Frames.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>

namespace Dcp {

// Gateways of this type first, then by station name, then by MAC.
void Sort_Devices(QList<Device_Record>& Devices);

// Station names and IPv4 addresses held by more than one of the devices
// (an empty name and the address 0.0.0.0 are nobody's).
struct Duplicates {
    QSet<QString> Names;
    QSet<quint32> Addresses;
    bool Name_Shared(const Device_Record& D) const { return D.Name && Names.contains(*D.Name); }
    bool Address_Shared(const Device_Record& D) const { return D.Ip && Addresses.contains(D.Ip->Address.Value()); }
};
Duplicates Find_Duplicates(const QList<Device_Record>& Devices);

// The DeviceRole bits in words ("IO device", "IO controller", ...), joined by "+".
QString Role_Text(quint8 Role);

// {"interface": IF, "devices": [{"mac", "name", "ip", "mask", "gateway",
// "vendor_id", "device_id", "vendor", "role", "gw40610"}]}; a value the device
// did not send is null.
QJsonObject Devices_Json(const QString& Interface, const QList<Device_Record>& Devices);

} // namespace Dcp
