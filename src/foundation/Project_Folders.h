#pragma once

#include <QString>
#include <QStringList>

class Workspace;

enum class New_Project_Result {
    Created,
    Empty_Name,
    Already_Exists,
    Not_Created  // unsafe name or the file system refused
};

// Creates the configuration directory with its "bin" folder below
// Projects_Dir and makes it active, the name in normalisation form C. A name
// that would leave Projects_Dir or disguises its characters is refused like
// one the file system rejects; one equal to an existing configuration's name
// without regard to case is refused as existing.
New_Project_Result Create_Project(Workspace& Space, const QString& Typed);
// The rule Create_Project applies to a typed name, for every command that
// gives a configuration a new name: Created when Typed may be taken, with
// Name set to the spelling to use. Except names an existing configuration the
// new name may equal without regard to case (the one being renamed).
New_Project_Result Check_New_Project_Name(const QString& Projects_Dir, const QString& Typed, QString& Name,
                                          const QString& Except = {});
int New_Project_Message_Slot(New_Project_Result Result);

// The configuration directories below Projects_Dir, sorted by name as a
// person reads them (case ignored, numbers by value); hidden ones and
// symbolic links are left out.
QStringList Load_Existing_Configuration(const QString& Projects_Dir);
// Index of the first entry equal to Name when both are upper-cased (ASCII letters only), or -1.
int Search_Open_Conf(const QStringList& Names, const QString& Name);
// The name of the active configuration as the part of Project_Dir after Projects_Dir.
QString Active_Configuration_Name(const Workspace& Space);
