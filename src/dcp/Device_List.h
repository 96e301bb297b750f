#pragma once

#include "dcp/Dcp_Frames.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>

namespace Dcp {

// The most devices a search keeps. One PROFINET network holds far fewer (the
// largest IO controllers address on the order of a thousand devices, and
// station names and addresses must be unique on the segment), so every real
// device is listed; past it, answers are counted, not kept, so that a flood
// of forged answers costs no more memory than this many devices.
constexpr int Max_Devices = 2048;

// What a search collected, and what it passed over.
struct Search_Result {
    QList<Device_Record> Devices; // one per MAC, in the order they came
    int Dropped = 0;              // answers of further devices past Max_Devices
    int Malformed = 0;            // answers to this search that could not be read or came from no device's MAC
    QString First_Malformed;      // the first of them: where it came from and why it was refused
};


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

// Device-supplied text made safe for a terminal and a line of text output:
// every control or invisible format character (C0, DEL, C1, the bidi
// controls, line and paragraph separators) written as an escape ("\n",
// "\r", "\t", "\x1b", "\u{202e}"), and the backslash and the double quote
// escaped, so that a device can neither forge lines or fields nor drive the
// terminal.
QString Printable(const QString& Text);

// One device as a line of text: MAC, name, addresses, identity, vendor and
// role, then the marks gw40610, duplicate-name, duplicate-ip and
// address-conflict that apply. The device's texts are Printable().
QString Device_Line(const Device_Record& D, const Duplicates& Shared);

// {"interface": IF, "devices": [{"mac", "name", "ip", "mask", "gateway",
// "vendor_id", "device_id", "vendor", "role", "gw40610", "duplicate_name",
// "duplicate_ip", "address_conflict"}], "dropped": N, "malformed": N}; a
// value the device did not send is null, texts are exactly as they came.
QJsonObject Devices_Json(const QString& Interface, const QList<Device_Record>& Devices);
QJsonObject Devices_Json(const QString& Interface, const Search_Result& Found);

} // namespace Dcp
