#include "project/Project_History.h"

#include "platform/File_Read.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

namespace Project_History {

namespace {

constexpr char Stamp_Format[] = "yyyyMMdd-HHmmss";

std::optional<Version> Parse(const QFileInfo& Info)
{
    static const QRegularExpression Pattern(QStringLiteral("^(.+)\\.(\\d{8}-\\d{6})(?:-(\\d{1,6}))?\\.xml$"));
    const QRegularExpressionMatch Match = Pattern.match(Info.fileName());
    if (!Match.hasMatch())
        return std::nullopt;
    Version Found;
    Found.File = Match.captured(1) + QStringLiteral(".xml");
    Found.Name = Info.fileName();
    Found.Time = QDateTime::fromString(Match.captured(2), QLatin1StringView(Stamp_Format));
    if (!Found.Time.isValid())
        return std::nullopt;
    Found.Sequence = Match.captured(3).isEmpty() ? 1 : Match.captured(3).toInt();
    if (Found.Sequence < 2 && !Match.captured(3).isEmpty())
        return std::nullopt;
    Found.Size = Info.size();
    Found.Path = Info.filePath();
    return Found;
}

bool Newer(const Version& A, const Version& B)
{
    if (A.Time != B.Time)
        return A.Time > B.Time;
    if (A.Sequence != B.Sequence)
        return A.Sequence > B.Sequence;
    return A.Name < B.Name;
}

QList<Version> Versions_Of(const QString& Config_Dir, const QString& File)
{
    QList<Version> Of_File;
    for (const Version& V : List(Config_Dir))
        if (V.File == File)
            Of_File.append(V);
    return Of_File;
}

QString Version_Name(const QString& Hist, const QString& File, const QDateTime& Now, const QList<Version>& Kept)
{
    const QString Base = QFileInfo(File).completeBaseName();
    const QString Stamp = Now.toString(QLatin1StringView(Stamp_Format));
    int Sequence = 1;
    for (const Version& V : Kept)
        if (V.Time.toString(QLatin1StringView(Stamp_Format)) == Stamp)
            Sequence = std::max(Sequence, V.Sequence + 1);
    for (;; ++Sequence) {
        const QString Name = Sequence == 1 ? QStringLiteral("%1.%2.xml").arg(Base, Stamp)
                                           : QStringLiteral("%1.%2-%3.xml").arg(Base, Stamp).arg(Sequence);
        const QFileInfo Taken(QDir(Hist).filePath(Name));
        if (!Taken.exists() && !Taken.isSymLink())
            return Name;
    }
}

} // namespace

QString Folder(const QString& Config_Dir) { return QDir(Config_Dir).filePath(QLatin1StringView(Folder_Name)); }

QList<Version> List(const QString& Config_Dir)
{
    QList<Version> Found;
    const QFileInfo Hist(Folder(Config_Dir));
    if (!Hist.isDir() || Hist.isSymLink())
        return Found;
    const QFileInfoList Entries = QDir(Hist.filePath()).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& Entry : Entries) {
        if (Entry.isSymLink())
            continue;
        if (std::optional<Version> V = Parse(Entry))
            Found.append(*V);
    }
    std::sort(Found.begin(), Found.end(), Newer);
    return Found;
}

std::optional<Version> Find(const QString& Config_Dir, const QString& Name)
{
    for (const Version& V : List(Config_Dir))
        if (V.Name == Name)
            return V;
    return std::nullopt;
}

std::expected<void, Write_Error> Keep(const QString& Path, const QDateTime& Now)
{
    const QFileInfo Info(Path);
    if (!Info.exists() && !Info.isSymLink())
        return {};
    // The writer refuses a link in the file's place; nothing is kept of what it points to.
    if (const auto Not_Link = Refuse_Link(Path); !Not_Link)
        return Not_Link;
    const auto Bytes = Read_Regular_File(Path);
    if (!Bytes) {
        if (Bytes.error().Missing)
            return {};
        return std::unexpected(Write_Error{Path, Bytes.error().Text});
    }
    const QString Config_Dir = Info.absolutePath();
    const QString Hist = Folder(Config_Dir);
    if (const auto Not_Link = Refuse_Link(Hist); !Not_Link)
        return Not_Link;
    if (!QFileInfo(Hist).isDir() && !QDir(Config_Dir).mkdir(QLatin1StringView(Folder_Name)))
        return std::unexpected(Write_Error{Path, qt_error_string()});

    const QList<Version> Kept = Versions_Of(Config_Dir, Info.fileName());
    if (!Kept.isEmpty()) {
        // A save that changed nothing since the newest kept version adds nothing to the history.
        const auto Newest = Read_Regular_File(Kept.first().Path);
        if (Newest && *Newest == *Bytes)
            return {};
    }
    const QString Name = Version_Name(Hist, Info.fileName(), Now, Kept);
    if (const auto Written = Write_File_Atomic(QDir(Hist).filePath(Name), *Bytes); !Written) {
        // The save stops here: the user is told about the file they saved, with the system's reason.
        if (Written.error().Refused_Link())
            return Written;
        return std::unexpected(Write_Error{Path, Written.error().System_Text});
    }

    const QList<Version> Now_Kept = Versions_Of(Config_Dir, Info.fileName());
    for (qsizetype I = Kept_Per_File; I < Now_Kept.size(); ++I)
        QFile::remove(Now_Kept[I].Path);
    return {};
}

std::expected<void, Write_Error> Restore(const QString& Config_Dir, const Version& Chosen, const QDateTime& Now)
{
    // Read before the current version is kept: keeping it may remove the oldest version, this one.
    const auto Bytes = Read_Regular_File(Chosen.Path);
    if (!Bytes)
        return std::unexpected(Write_Error{Chosen.Path, Bytes.error().Text});
    const QString Target = QDir(Config_Dir).filePath(Chosen.File);
    if (const auto Kept = Keep(Target, Now); !Kept)
        return Kept;
    return Write_File_Atomic(Target, *Bytes);
}

QByteArray Json(const QList<Version>& Versions)
{
    QJsonArray All;
    for (const Version& V : Versions) {
        const QDateTime With_Offset = V.Time.toOffsetFromUtc(V.Time.offsetFromUtc());
        All.append(QJsonObject{{QStringLiteral("file"), V.File},
                               {QStringLiteral("version"), V.Name},
                               {QStringLiteral("time"), With_Offset.toString(Qt::ISODate)},
                               {QStringLiteral("size"), V.Size}});
    }
    return QJsonDocument(All).toJson(QJsonDocument::Indented);
}

} // namespace Project_History
