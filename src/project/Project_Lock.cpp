#include "project/Project_Lock.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace {

std::unique_ptr<QLockFile> Lock_File_Of(const QString& Dir)
{
    auto File = std::make_unique<QLockFile>(QDir(Dir).filePath(QLatin1StringView(Project_Lock::File_Name)));
    // A configuration stays open for hours: only a lock whose program is gone is stale.
    File->setStaleLockTime(0);
    return File;
}

Project_Lock::Holder Holder_From(const QLockFile& File, const QString& Dir)
{
    Project_Lock::Holder Who;
    QString App;
    File.getLockInfo(&Who.Pid, &Who.Host, &App);
    Who.Since = QFileInfo(QDir(Dir).filePath(QLatin1StringView(Project_Lock::File_Name))).lastModified();
    return Who;
}

} // namespace

Project_Lock::Project_Lock() = default;
Project_Lock::~Project_Lock() = default;
Project_Lock::Project_Lock(Project_Lock&&) noexcept = default;
Project_Lock& Project_Lock::operator=(Project_Lock&&) noexcept = default;

Project_Lock::Outcome Project_Lock::Take(const QString& Dir)
{
    Other.reset();
    const QString Absolute = QDir(Dir).absolutePath();
    if (Held() && Locked_Dir == Absolute)
        return Outcome::Taken;
#ifdef Q_OS_WIN
    // The same folder named in another case: Windows ignores case in names.
    if (Held() && QString::compare(Locked_Dir, Absolute, Qt::CaseInsensitive) == 0) {
        Locked_Dir = Absolute;
        return Outcome::Taken;
    }
#endif
    std::unique_ptr<QLockFile> New_File = Lock_File_Of(Absolute);
    if (!New_File->tryLock(0)) {
        if (New_File->error() == QLockFile::LockFailedError) {
            Other = Holder_From(*New_File, Absolute);
            return Outcome::Held_Elsewhere;
        }
        return Outcome::Failed;
    }
    Release();
    File = std::move(New_File);
    Locked_Dir = Absolute;
    return Outcome::Taken;
}

void Project_Lock::Release()
{
    if (File)
        File->unlock();
    File.reset();
    Locked_Dir.clear();
}

bool Project_Lock::Held() const { return File && File->isLocked(); }

std::optional<Project_Lock::Holder> Project_Lock::Holder_Of(const QString& Dir)
{
    std::unique_ptr<QLockFile> Probe = Lock_File_Of(QDir(Dir).absolutePath());
    if (Probe->tryLock(0)) {
        Probe->unlock();
        return std::nullopt;
    }
    if (Probe->error() != QLockFile::LockFailedError)
        return std::nullopt;
    return Holder_From(*Probe, QDir(Dir).absolutePath());
}
