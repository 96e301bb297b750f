#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What a file held when an editor loaded it: whether it was there, its size,
// modification time and SHA-256. An editor compares it with the file before
// it writes, so an edit made elsewhere in between is never overwritten
// unknowingly.
struct File_Stamp {
    bool Exists = false;
    qint64 Size = 0;
    QDateTime Modified;
    QByteArray Sha256;

    static File_Stamp Of(const QString& Path);
    // Changed: the content differs (a new modification time alone changes
    // nothing the editor would overwrite).
    bool Same_Content(const File_Stamp& Other) const
    {
        return Exists == Other.Exists && Size == Other.Size && Sha256 == Other.Sha256;
    }
};
