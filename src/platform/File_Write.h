#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <expected>
#include <functional>

// Why a file was not written. A save that follows a symbolic link would put
// the data wherever the link points, outside the folder the program keeps its
// files in; such a save is refused before anything is written.
struct Write_Error {
    QString Path;        // the file (or folder) the failure is about
    QString System_Text; // the system's description; empty when Path is a refused symbolic link
    bool Refused_Link() const { return System_Text.isEmpty(); }
};

struct File_Content {
    QString Path;
    QByteArray Data;
};

// Writes a whole file and replaces the old one only when the new one is
// complete on disk; on failure the previous file is intact, no temporary file
// stays behind and the error text is the system's. A Path that is a symbolic
// link is refused.
std::expected<void, Write_Error> Write_File_Atomic(const QString& Path, const QByteArray& Data);

// Writes several files as one set: every one is complete before the first
// replaces its old version, and when a later one fails to replace its old
// version, the files already replaced get their old versions back (or are
// removed where there was none). After any failure the old set is there.
// Before_Replacing, when given, is called with each file's index just before
// that file replaces its old version.
std::expected<void, Write_Error> Write_Files_Atomic(const QList<File_Content>& Files,
                                                   const std::function<void(qsizetype)>& Before_Replacing = {});

// A folder the caller writes into that must not lead elsewhere: refused when
// it is a symbolic link.
std::expected<void, Write_Error> Refuse_Link(const QString& Path);
