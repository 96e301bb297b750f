#pragma once

#include "editors/File_Stamp.h"

#include <QByteArray>
#include <QString>

#include <functional>

class Prompter;
class QWidget;
class Workspace;

// What an editor checks before it writes its file. A configuration open
// read-only refuses every save with its reason. A file changed elsewhere
// since the editor loaded it is written only after the user chose Overwrite;
// Show differences shows, item by item, what the editor would write against
// what the file holds now, and asks again; Cancel, the default, writes nothing.
class Save_Guard {
public:
    // Shows the differences between Mine (what the editor would write into
    // the file named File_Name) and the file at Disk_Path.
    using Differences_Viewer =
        std::function<void(QWidget* Parent, const QString& File_Name, const QByteArray& Mine, const QString& Disk_Path)>;

    Save_Guard(Workspace& Space, Prompter& Prompts, QWidget* Dialog);

    // At loading: what the file holds now.
    void Remember(const QString& Path);
    // Shows the reason and answers true when the configuration is open read-only.
    bool Refuse_Read_Only();
    // Whether the file at Path may be written now; Mine gives what would be written.
    bool May_Write(const QString& Path, const std::function<QByteArray()>& Mine);

    // Not empty: the configuration is open read-only, and this says why.
    QString Read_Only_Reason;
    // Unset: the question offers no differences.
    Differences_Viewer Show_Differences;

private:
    enum class Choice { Overwrite, Show_Differences, Cancel };
    Choice Ask(const QString& Path, const File_Stamp& Now);

    Workspace& Space;
    Prompter& Prompts;
    QWidget* Dialog;
    File_Stamp Loaded;
};
