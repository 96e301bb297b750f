#pragma once

#include "platform/Save_File_Dialog.h"

// The save-file dialog of the desktop, shown over the active window.
class Qt_Save_File_Dialog : public Save_File_Dialog {
public:
    std::optional<QString> Ask_Save_Path(const Save_File_Request& Request) override;

    // The Qt filter text for a request: the pattern stands in the last
    // parentheses, where Qt takes it from. A pattern Qt cannot read there (a
    // blank, a parenthesis or a letter outside ASCII) lists every ".xml" file
    // instead.
    static QString Filter_Text(const Save_File_Request& Request);
};
