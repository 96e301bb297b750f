#pragma once

#include <QString>

#include <optional>

// What the user is offered in an open-file dialog. The filter lists only the
// files that match Filter_Pattern, under the text Filter_Description.
struct Open_File_Request {
    QString Initial_Folder;
    QString Filter_Description;
    QString Filter_Pattern;
};

// The standard open-file dialog: only an existing file can be chosen.
class Open_File_Dialog {
public:
    virtual ~Open_File_Dialog() = default;
    // The path the user chose, or nullopt when the dialog was cancelled.
    virtual std::optional<QString> Ask_Open_Path(const Open_File_Request& Request) = 0;
};
