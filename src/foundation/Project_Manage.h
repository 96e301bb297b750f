#pragma once

#include "foundation/Project_Folders.h"

#include <QString>

class Workspace;

// Duplicating, renaming and deleting configurations below Projects_Dir. Each
// command names an existing configuration as the open dialog lists it.
enum class Manage_Result {
    Done,
    Empty_Name,
    Already_Exists,
    Not_Created,    // the name is refused or the file system refused the folder
    Not_Found,      // the configuration is no longer there
    Not_Copied,     // a project file could not be copied; nothing was left behind
    Not_Renamed,    // the file system refused to rename the folder
    No_Trash,       // no trash could take the folder; nothing was deleted
};

// Copies the project files of Source (not its bank files, its history or its
// lock) into a new configuration named Typed, under the rules of a new
// configuration. The active configuration stays as it was. Copy, when given,
// receives the copy's name as stored.
Manage_Result Duplicate_Project(Workspace& Space, const QString& Source, const QString& Typed,
                                QString* Copy = nullptr);
// Gives Source the name Typed under the rules of a new configuration (a change
// of case alone allowed). When Source is active, the new name becomes active.
// Typed equal to Source is nothing to do.
Manage_Result Rename_Project(Workspace& Space, const QString& Source, const QString& Typed);
// Moves the folder of Name to the desktop's trash, from where it can be
// restored. Where no trash takes it, nothing is deleted. When Name is active,
// no configuration stays active.
Manage_Result Delete_Project(Workspace& Space, const QString& Name);

// The message slot that explains a refused command, the configuration's name
// in its %1 where it has one; -1 for Done.
int Manage_Message_Slot(Manage_Result Result);
