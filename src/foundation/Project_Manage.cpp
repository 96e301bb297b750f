#include "foundation/Project_Manage.h"

#include "foundation/Foundation_Texts.h"
#include "foundation/Workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The folder of an existing configuration as the open dialog lists it: a real
// directory (no link) directly below Projects_Dir.
bool Is_Listed_Configuration(const Workspace& Space, const QString& Name)
{
    if (Name.isEmpty() || !Workspace::Is_Safe_Project_Name(Name))
        return false;
    const QFileInfo Dir(Workspace::Join(Space.Projects_Dir, Name));
    return Dir.isDir() && !Dir.isSymLink();
}

Manage_Result From_Name_Check(New_Project_Result Checked)
{
    switch (Checked) {
    case New_Project_Result::Empty_Name: return Manage_Result::Empty_Name;
    case New_Project_Result::Already_Exists: return Manage_Result::Already_Exists;
    case New_Project_Result::Not_Created: return Manage_Result::Not_Created;
    case New_Project_Result::Created: break;
    }
    return Manage_Result::Done;
}

// The desktop's trash in the user's data folder, made where it is missing.
// Qt's trash falls back to this one; where it cannot be made, Qt 6.4 still
// "succeeds" by moving the item into the working directory, so nothing is
// handed to it then.
bool Home_Trash_Usable()
{
#ifdef Q_OS_WIN
    // The recycle bin of the desktop, which the system keeps.
    return true;
#else
    const QString Data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (Data.isEmpty() || QDir::isRelativePath(Data))
        return false;
    const QString Trash = Data + QStringLiteral("/Trash");
    return QDir().mkpath(Trash + QStringLiteral("/files")) && QDir().mkpath(Trash + QStringLiteral("/info"));
#endif
}

bool Same_Configuration(const Workspace& Space, const QString& Name)
{
    return Space.Is_Project_Active() && Active_Configuration_Name(Space) == Name;
}

} // namespace

Manage_Result Duplicate_Project(Workspace& Space, const QString& Source, const QString& Typed, QString* Copy)
{
    if (!Is_Listed_Configuration(Space, Source))
        return Manage_Result::Not_Found;
    QString Name;
    if (const auto Checked = Check_New_Project_Name(Space.Projects_Dir, Typed, Name);
        Checked != New_Project_Result::Created)
        return From_Name_Check(Checked);

    const QString From = Workspace::Join(Space.Projects_Dir, Source);
    const QString To = Workspace::Join(Space.Projects_Dir, Name);
    if (!QDir().mkdir(To))
        return Manage_Result::Not_Created;
    // The project files only: the bank files belong to the device the source
    // was written for, and the copy compiles its own.
    bool Copied = QDir().mkdir(Workspace::Join(To, QStringLiteral("bin")));
    // The project files; a missing one stays missing.
    for (const QString& Project_File : Project_File_Name::All) {
        if (!Copied)
            break;
        const QFileInfo Info(Workspace::Join(From, Project_File));
        const QString File = Info.filePath();
        if (!Info.exists() && !Info.isSymLink())
            continue;
        Copied = Info.isFile() && QFile::copy(File, Workspace::Join(To, Info.fileName()));
    }
    if (!Copied) {
        // No half copy is left to be taken for a configuration.
        QDir(To).removeRecursively();
        return Manage_Result::Not_Copied;
    }
    if (Copy)
        *Copy = Name;
    return Manage_Result::Done;
}

Manage_Result Rename_Project(Workspace& Space, const QString& Source, const QString& Typed)
{
    if (!Is_Listed_Configuration(Space, Source))
        return Manage_Result::Not_Found;
    QString Name;
    if (const auto Checked = Check_New_Project_Name(Space.Projects_Dir, Typed, Name, Source);
        Checked != New_Project_Result::Created)
        return From_Name_Check(Checked);
    if (Name == Source)
        return Manage_Result::Done;
    const bool Was_Active = Same_Configuration(Space, Source);
    QDir Projects(Space.Projects_Dir);
#ifdef Q_OS_WIN
    // A file system that ignores case may take a change of case alone for
    // no change at all: the folder goes through a name of its own first.
    if (QString::compare(Name, Source, Qt::CaseInsensitive) == 0) {
        const QString Between = Source + QStringLiteral(".renaming");
        if (Projects.exists(Between) || !Projects.rename(Source, Between))
            return Manage_Result::Not_Renamed;
        if (!Projects.rename(Between, Name)) {
            Projects.rename(Between, Source);
            return Manage_Result::Not_Renamed;
        }
    } else
#endif
    if (!Projects.rename(Source, Name))
        return Manage_Result::Not_Renamed;
    if (Was_Active)
        Space.Activate_Project(Name);
    return Manage_Result::Done;
}

Manage_Result Delete_Project(Workspace& Space, const QString& Name)
{
    if (!Is_Listed_Configuration(Space, Name))
        return Manage_Result::Not_Found;
    const bool Was_Active = Same_Configuration(Space, Name);
    // Only to the trash: a configuration deleted by mistake can be restored.
    const QString Dir = Workspace::Join(Space.Projects_Dir, Name);
    if (!Home_Trash_Usable())
        return Manage_Result::No_Trash;
    QString In_Trash;
    if (!QFile::moveToTrash(Dir, &In_Trash))
        return Manage_Result::No_Trash;
#ifndef Q_OS_WIN
    if (QDir::isRelativePath(In_Trash)) {
        // Not a trash: put it back where it was.
        QDir().rename(In_Trash, Dir);
        return Manage_Result::No_Trash;
    }
#endif
    if (Was_Active)
        Space.Activate_Project(QString());
    return Manage_Result::Done;
}

int Manage_Message_Slot(Manage_Result Result)
{
    switch (Result) {
    case Manage_Result::Done: return -1;
    case Manage_Result::Empty_Name: return Foundation_Text::Name_Empty;
    case Manage_Result::Already_Exists: return Foundation_Text::Name_Exists;
    case Manage_Result::Not_Created: return Foundation_Text::Name_Not_Usable;
    case Manage_Result::Not_Found: return Foundation_Text::Not_Found;
    case Manage_Result::Not_Copied: return Foundation_Text::Not_Copied;
    case Manage_Result::Not_Renamed: return Foundation_Text::Not_Renamed;
    case Manage_Result::No_Trash: return Foundation_Text::Not_Trashed;
    }
    return -1;
}
