#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

class QLockFile;

// One program per configuration: the program that works on a configuration
// holds a lock file in its folder. A lock whose program is gone (on this
// host) is taken over; a lock held by a running program is never taken.
class Project_Lock {
public:
    static constexpr char File_Name[] = ".sw40610.lock";

    // Who holds a configuration's lock.
    struct Holder {
        QString Host;
        qint64 Pid = 0;
        QDateTime Since;
    };

    enum class Outcome { Taken, Held_Elsewhere, Failed };

    Project_Lock();
    ~Project_Lock();
    Project_Lock(const Project_Lock&) = delete;
    Project_Lock& operator=(const Project_Lock&) = delete;
    Project_Lock(Project_Lock&&) noexcept;
    Project_Lock& operator=(Project_Lock&&) noexcept;

    // Takes the lock of the configuration folder Dir. Held_Elsewhere: Other
    // names the program that holds it. Failed: the folder takes no lock file
    // (read-only medium, no rights).
    Outcome Take(const QString& Dir);
    void Release();
    bool Held() const;
    // The folder whose lock is held, empty when none is.
    QString Dir() const { return Held() ? Locked_Dir : QString(); }
    // After Held_Elsewhere: who holds it.
    std::optional<Holder> Other;

    // Who holds the lock of Dir, when a running program does; nothing when
    // it is free or stale.
    static std::optional<Holder> Holder_Of(const QString& Dir);

private:
    std::unique_ptr<QLockFile> File;
    QString Locked_Dir;
};
