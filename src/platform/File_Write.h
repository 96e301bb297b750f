#pragma once

#include <QByteArray>
#include <QString>

#include <expected>

// Writes a whole file and replaces the old one only when the new one is
// complete; on failure the previous file is intact and the error text is the
// system's.
std::expected<void, QString> Write_File_Atomic(const QString& Path, const QByteArray& Data);
