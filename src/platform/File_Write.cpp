#include "platform/File_Write.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef Q_OS_WIN
#include "platform/Windows_Error.h"
#include "platform/Windows_Path.h"

#include <QDir>

#include <windows.h>
#else
#include <unistd.h>
#endif

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
#ifndef Q_OS_WIN
    // Space some file systems reserve only at write-back is reported here.
    // (On Windows the commit flushes the file, FlushFileBuffers, and reports
    // what that finds.)
    if (::fsync(File.handle()) != 0 && errno != EINVAL)
        return std::unexpected(System_Error(Path, QString::fromLocal8Bit(std::strerror(errno))));
#endif
    return {};
}

// A file's old version, kept under a second name while a set is replaced.
struct Kept_Version {
    QString Path;
    QString Backup;  // empty when there was no old version
};

std::expected<Kept_Version, Write_Error> Keep_Old_Version(const QString& Path)
{
    if (!QFileInfo::exists(Path))
        return Kept_Version{Path, {}};
    const QString Backup = Path + QStringLiteral(".previous");
    QFile::remove(Backup);
    // A second link to the old file costs nothing and survives its
    // replacement; where links are not possible, a copy does.
#ifdef Q_OS_WIN
    // Not on Windows: a second link to a file another program holds open
    // (the updater reading a bank) could not be removed afterwards, and
    // would stay behind.
    const bool Linked = false;
#else
    const bool Linked = ::link(QFile::encodeName(Path).constData(), QFile::encodeName(Backup).constData()) == 0;
#endif
    if (!Linked) {
        QFile Old(Path);
        if (!Old.copy(Backup))
            return std::unexpected(System_Error(Backup, Old.errorString()));
    }
    return Kept_Version{Path, Backup};
}

void Forget(const std::vector<Kept_Version>& Kept)
{
    for (const Kept_Version& Old : Kept)
        if (!Old.Backup.isEmpty())
            QFile::remove(Old.Backup);
}

// Puts the old version back over the new one, or removes the new one where
// there was none.
void Restore(const Kept_Version& Kept)
{
    if (Kept.Backup.isEmpty()) {
        QFile::remove(Kept.Path);
        return;
    }
#ifdef Q_OS_WIN
    ::MoveFileExW(QDir::toNativeSeparators(Kept.Backup).toStdWString().c_str(),
                  QDir::toNativeSeparators(Kept.Path).toStdWString().c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    ::rename(QFile::encodeName(Kept.Backup).constData(), QFile::encodeName(Kept.Path).constData());
#endif
}

} // namespace

std::expected<void, Write_Error> Refuse_Link(const QString& Path)
{
    const QFileInfo Info(Path);
#ifdef Q_OS_WIN
    // A junction leads elsewhere as a symbolic link does.
    if (Info.isSymLink() || Info.isJunction())
        return std::unexpected(Write_Error{Path, {}});
#else
    if (Info.isSymLink())
        return std::unexpected(Write_Error{Path, {}});
#endif
    return {};
}

#ifdef Q_OS_WIN
namespace {
// Qt takes a path in its own form and puts it into the "\\?\" form itself
// where it needs to (past MAX_PATH); given that form, it would not find the
// folder for its temporary file.
QString Qt_Path(const QString& Path)
{
    QString Native = QDir::toNativeSeparators(Path);
    if (Native.startsWith(QLatin1String("\\\\?\\UNC\\")))
        return QDir::fromNativeSeparators(QStringLiteral("\\\\") + Native.mid(8));
    if (Native.startsWith(QLatin1String("\\\\?\\")))
        return QDir::fromNativeSeparators(Native.mid(4));
    return Path;
}
} // namespace
#endif

std::expected<void, Write_Error> Write_File_Atomic(const QString& Path, const QByteArray& Data)
{
    return Write_Files_Atomic({{Path, Data}});
}

std::expected<void, Write_Error> Write_Files_Atomic(const QList<File_Content>& Files,
                                                   const std::function<void(qsizetype)>& Before_Replacing)
{
    for (const File_Content& File : Files) {
        if (const auto Checked = Refuse_Link(File.Path); !Checked)
            return Checked;
#ifdef Q_OS_WIN
        // A device name would be opened as the device, a name ending in a
        // dot or blank would be written under another name.
        if (const auto Problem = Windows_Path_Problem(File.Path))
            return std::unexpected(Write_Error{File.Path, *Problem});
#endif
    }
    // An uncommitted QSaveFile removes its temporary file when destroyed.
    std::vector<std::unique_ptr<QSaveFile>> Saves;
    for (const File_Content& File : Files) {
#ifdef Q_OS_WIN
        Saves.push_back(std::make_unique<QSaveFile>(Qt_Path(File.Path)));
#else
        Saves.push_back(std::make_unique<QSaveFile>(File.Path));
#endif
        if (const auto Filled = Fill(*Saves.back(), File.Data); !Filled)
            return Filled;
    }
    if (Files.size() == 1) {
        if (Before_Replacing)
            Before_Replacing(0);
        if (!Saves.front()->commit())
            return std::unexpected(System_Error(Saves.front()->fileName(), Saves.front()->errorString()));
        return {};
    }
    // The old versions stay reachable under a second name until the whole
    // set is in place.
    std::vector<Kept_Version> Kept;
    for (const File_Content& File : Files) {
        auto Old = Keep_Old_Version(File.Path);
        if (!Old) {
            Forget(Kept);
            return std::unexpected(Old.error());
        }
        Kept.push_back(*Old);
    }
    for (qsizetype I = 0; I < Files.size(); ++I) {
        if (Before_Replacing)
            Before_Replacing(I);
        QSaveFile& Save = *Saves[static_cast<size_t>(I)];
        if (!Save.commit()) {
            const Write_Error Failed = System_Error(Save.fileName(), Save.errorString());
            for (qsizetype K = 0; K < I; ++K)
                Restore(Kept[static_cast<size_t>(K)]);
            Forget({Kept.begin() + I, Kept.end()});
            return std::unexpected(Failed);
        }
    }
    Forget(Kept);
    return {};
}
