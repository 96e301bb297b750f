#include "support/Test_Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace Test_Support {

void Write_File(const QString& Path, const QByteArray& Data)
{
    QDir().mkpath(QFileInfo(Path).absolutePath());
    QFile File(Path);
    if (!File.open(QIODevice::WriteOnly) || File.write(Data) != Data.size())
        qFatal("cannot write %s", qPrintable(Path));
}

QByteArray Read_File(const QString& Path)
{
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly))
        return {};
    return File.readAll();
}

QByteArray Random_Bytes(qsizetype Size, quint32 Seed)
{
    QRandomGenerator Gen(Seed);
    QByteArray Bytes(Size, '\0');
    for (char& B : Bytes)
        B = static_cast<char>(Gen.bounded(256));
    return Bytes;
}

} // namespace Test_Support
