#pragma once

#include "platform/Open_File_Dialog.h"

// The open-file dialog of the desktop, shown over the active window.
class Qt_Open_File_Dialog : public Open_File_Dialog {
public:
    std::optional<QString> Ask_Open_Path(const Open_File_Request& Request) override;
};
