#include "platform/File_Write.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

Write_Error System_Error(const QString& Path, const QString& Text)
{
    // Qt leaves "Unknown error" when the system gave no reason (a short write).
    return {Path, Text.isEmpty() ? QStringLiteral("Unknown error") : Text};
}

// Writes Data into the open temporary file and makes it durable. The file is
// unbuffered so that every write reaches the system here, not in a flush the
// commit would not check: a buffered QSaveFile renames a cut-short file over
// the original when the disk fills while it closes. A short write is retried
// so that the system reports why it stopped.
std::expected<void, Write_Error> Fill(QSaveFile& File, const QByteArray& Data)
{
    const QString Path = File.fileName();
    if (!File.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return std::unexpected(System_Error(Path, File.errorString()));
    qint64 Done = 0;
    while (Done < Data.size()) {
        const qint64 Written = File.write(Data.constData() + Done, Data.size() - Done);
        if (Written <= 0)
            return std::unexpected(System_Error(Path, File.errorString()));
        Done += Written;
    }
    // Space some file systems reserve only at write-back is reported here.
    if (::fsync(File.handle()) != 0 && errno != EINVAL)
        return std::unexpected(System_Error(Path, QString::fromLocal8Bit(std::strerror(errno))));
    return {};
}

} // namespace

std::expected<void, Write_Error> Refuse_Link(const QString& Path)
{
    if (QFileInfo(Path).isSymLink())
        return std::unexpected(Write_Error{Path, {}});
    return {};
}

std::expected<void, Write_Error> Write_File_Atomic(const QString& Path, const QByteArray& Data)
{
    return Write_Files_Atomic({{Path, Data}});
}

std::expected<void, Write_Error> Write_Files_Atomic(const QList<File_Content>& Files)
{
    for (const File_Content& File : Files)
        if (const auto Checked = Refuse_Link(File.Path); !Checked)
            return Checked;
    // An uncommitted QSaveFile removes its temporary file when destroyed.
    std::vector<std::unique_ptr<QSaveFile>> Saves;
    for (const File_Content& File : Files) {
        Saves.push_back(std::make_unique<QSaveFile>(File.Path));
        if (const auto Filled = Fill(*Saves.back(), File.Data); !Filled)
            return Filled;
    }
    for (const auto& Save : Saves)
        if (!Save->commit())
            return std::unexpected(System_Error(Save->fileName(), Save->errorString()));
    return {};
}
