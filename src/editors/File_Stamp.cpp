#include "editors/File_Stamp.h"

#include "platform/File_Read.h"

#include <QCryptographicHash>
#include <QFileInfo>

File_Stamp File_Stamp::Of(const QString& Path)
{
    File_Stamp Stamp;
    const QFileInfo Info(Path);
    if (!Info.exists())
        return Stamp;
    Stamp.Exists = true;
    Stamp.Modified = Info.lastModified();
    const auto Bytes = Read_Regular_File(Path);
    if (!Bytes) {
        // Something that is no readable file: its description stands for its content.
        Stamp.Size = -1;
        Stamp.Sha256 = Bytes.error().Text.toUtf8();
        return Stamp;
    }
    Stamp.Size = Bytes->size();
    Stamp.Sha256 = QCryptographicHash::hash(*Bytes, QCryptographicHash::Sha256);
    return Stamp;
}
