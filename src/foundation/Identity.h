#pragma once

#include <QString>

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
} // namespace Identity
