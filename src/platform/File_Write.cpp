#include "platform/File_Write.h"

#include <QSaveFile>

std::expected<void, QString> Write_File_Atomic(const QString& Path, const QByteArray& Data)
{
    QSaveFile File(Path);
    if (!File.open(QIODevice::WriteOnly))
        return std::unexpected(File.errorString());
    if (File.write(Data) != Data.size()) {
        const QString Error = File.errorString();
        File.cancelWriting();
        return std::unexpected(Error);
    }
    if (!File.commit())
        return std::unexpected(File.errorString());
    return {};
}
