#pragma once

#include "platform/File_Write.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <expected>
#include <optional>

// The earlier versions of a configuration's project files. Before a project
// file is replaced, the version it holds is kept in the configuration's
// ".history" folder as FILE.YYYYMMDD-HHMMSS.xml (the time of the save that
// replaced it; a second save within the same second gets -2, -3, ... after
// the time, so no kept version is ever overwritten). The newest
// Kept_Per_File versions of each file stay.
namespace Project_History {

inline constexpr char Folder_Name[] = ".history";
inline constexpr int Kept_Per_File = 20;

struct Version {
    QString File;     // the project file it is a version of, "ParGen.xml"
    QString Name;     // its name in the history, "ParGen.20261211-074012.xml"
    QDateTime Time;   // when it was replaced (local time)
    int Sequence = 1; // 1, or 2, 3, ... for later versions kept within the same second
    qint64 Size = 0;
    QString Path;
};

QString Folder(const QString& Config_Dir);

// Keeps the file at Path as it stands in the history of its folder, before it
// is replaced. Nothing is kept when there is no file yet, or when the newest
// kept version of the file holds the same bytes. Older versions past
// Kept_Per_File are removed. Now: the time of the save.
std::expected<void, Write_Error> Keep(const QString& Path, const QDateTime& Now = QDateTime::currentDateTime());

// Every kept version in the configuration, newest first.
QList<Version> List(const QString& Config_Dir);
std::optional<Version> Find(const QString& Config_Dir, const QString& Name);

// Puts a kept version back in its file's place. The file's current version is
// kept in the history first, so the restore itself can be undone.
std::expected<void, Write_Error> Restore(const QString& Config_Dir, const Version& Chosen,
                                         const QDateTime& Now = QDateTime::currentDateTime());

// [{"file", "version", "time", "size"}], the time in ISO 8601 with its offset from UTC.
QByteArray Json(const QList<Version>& Versions);

} // namespace Project_History
