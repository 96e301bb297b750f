#pragma once

#include <QByteArray>
#include <QString>

// File helpers for every test; nothing here needs a widget.
namespace Test_Support {

// Writes Data to the file Path, creating missing folders.
void Write_File(const QString& Path, const QByteArray& Data);
QByteArray Read_File(const QString& Path);
// Size bytes of noise, the same for the same seed.
QByteArray Random_Bytes(qsizetype Size, quint32 Seed);

} // namespace Test_Support
