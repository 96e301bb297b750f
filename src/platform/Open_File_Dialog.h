#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the user is offered in an open-file dialog: the files matching any of
// Patterns under the text Filter_Description, and every file under All_Files.
struct Open_File_Request {
    QString Title;
    QString Initial_Folder;
    QString Filter_Description;
    QStringList Patterns;  // "*.pem", "*.crt", ...
    QString All_Files_Description;
};

// The standard open-file dialog for one existing file.
class Open_File_Dialog {
public:
    virtual ~Open_File_Dialog() = default;
    // The path the user chose, or nullopt when the dialog was cancelled.
    virtual std::optional<QString> Ask_Open_Path(const Open_File_Request& Request) = 0;
};
