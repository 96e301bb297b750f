#pragma once

#include <QString>
#include <QtGlobal>

// What the program is and whose it is: fixed texts shown in windows and
// written into files.
namespace Identity {
inline const QString SW_Code = QStringLiteral("SW40610");
inline const QString SW_Description = QStringLiteral("IEC61850 Server / PROFINET - Converter");
inline const QString SW_Version = QStringLiteral("1.000");
inline const QString Document_Code = QStringLiteral("MN40610");
inline const QString Window_Title = QStringLiteral("Korvex - Configurator SW40610 - IEC61850 Server / PROFINET ");
inline const QString Default_IP_Address = QStringLiteral("192.168.2.205");
// The maker's web server, host of the home and download pages.
inline const QString Maker_Host = QStringLiteral("www.korvex.com");
// The gateway's PROFINET identity: what its DCP answers carry and what its
// device description declares (as "0x1111" and "0x0221").
constexpr quint16 Vendor_ID = 0x1111;
constexpr quint16 Device_ID = 0x0221;
inline const QString Vendor_Name = QStringLiteral("Korvex");
// The identity number as the device description writes it: "0x" and four
// hexadecimal digits.
inline QString Id_Text(quint16 Id)
{
    return QStringLiteral("0x%1").arg(Id, 4, 16, QLatin1Char('0')).toUpper().replace(QStringLiteral("0X"), QStringLiteral("0x"));
}
} // namespace Identity
