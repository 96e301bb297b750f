#include "localisation/Language_Files.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QStringList List_Language_Files(const QString& Dir)
{
    QStringList Names;
    const QFileInfoList Entries =
        QDir(Dir).entryInfoList({QStringLiteral("*.lng")}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                                QDir::NoSort);
    for (const QFileInfo& Entry : Entries) {
        // The extension is matched exactly: the file is later opened as name + ".lng".
        if (!Entry.fileName().endsWith(QStringLiteral(".lng")) || !Entry.isFile() || Entry.isSymLink())
            continue;
        // The owner's write bit stands for the read-only attribute; it does
        // not depend on who runs the program.
        if (!(Entry.permissions() & QFileDevice::WriteOwner))
            continue;
        Names.append(Entry.fileName());
    }
    std::sort(Names.begin(), Names.end(), [](const QString& A, const QString& B) {
        const int Order = QString::compare(A, B, Qt::CaseInsensitive);
        return Order != 0 ? Order < 0 : A < B;
    });
    return Names;
}

QStringList Flag_Picture_Candidates(const QString& Dir, const QString& Language)
{
    QStringList Found;
    for (const QString& Name : {Language + QStringLiteral(".bmp"), QStringLiteral("DefaultFlag.bmp")}) {
        const QString Path = Dir + QLatin1Char('/') + Name;
        if (QFileInfo(Path).isFile())
            Found.append(Path);
    }
    return Found;
}
