#pragma once

#include <QDate>
#include <QString>

// The parts of a device description's file name: a fixed first part naming
// the schema version, maker and product, the user's part, and a fixed last
// part with the date.
inline const QString Profinet_File_Name_Fix1 = QStringLiteral("GSDML-V2.31-Korvex-GW40610");

// "-" YYYYMMDD ".xml", month and day always two digits.
QString Profinet_File_Name_Fix2(const QDate& Day);

// The file name from the three parts. A user part of blanks only is left
// out; any other is joined with one "_" unless it starts with one itself,
// and is kept exactly as typed.
QString Compose_Profinet_File_Name(const QString& Fix1, const QString& User, const QString& Fix2);

// The position of the first character of a user part that cannot stand in a
// file name on the systems the file travels to: a path separator, a control
// or format character, or one of < > : " | ? *. -1 when there is none.
qsizetype First_Unusable_File_Name_Character(const QString& User);
