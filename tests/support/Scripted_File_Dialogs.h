#pragma once

#include "platform/Open_File_Dialog.h"
#include "platform/Save_File_Dialog.h"

#include <QList>

// Answers the save-file dialog from a script and records what it was asked.
class Scripted_Save_Dialog : public Save_File_Dialog {
public:
    std::optional<QString> Ask_Save_Path(const Save_File_Request& Request) override
    {
        Requests.append(Request);
        return Answer;
    }
    std::optional<QString> Answer;
    QList<Save_File_Request> Requests;
};

// Answers the open-file dialog from a script and records what it was asked.
class Scripted_Open_Dialog : public Open_File_Dialog {
public:
    std::optional<QString> Ask_Open_Path(const Open_File_Request& Request) override
    {
        Requests.append(Request);
        return Answer;
    }
    std::optional<QString> Answer;
    QList<Open_File_Request> Requests;
};
