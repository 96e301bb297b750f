#pragma once

#include <QString>

#include <optional>

// What the user is offered in a save-file dialog. The filter lists only the
// files that match Filter_Pattern, under the text Filter_Description.
struct Save_File_Request {
    QString Initial_Folder;
    QString Preset_Name;
    QString Filter_Description;
    QString Filter_Pattern;
};

// The standard save-file dialog. The logic asks its own questions about an
// existing file, so an implementation must not ask about overwriting.
class Save_File_Dialog {
public:
    virtual ~Save_File_Dialog() = default;
    // The path the user confirmed, or nullopt when the dialog was cancelled.
    virtual std::optional<QString> Ask_Save_Path(const Save_File_Request& Request) = 0;
};
