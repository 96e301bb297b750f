#pragma once

#include "platform/Open_File_Dialog.h"

#include <QList>

// Records every request and answers from a queue of paths; with the queue
// empty the dialog counts as cancelled.
class Scripted_Open_File_Dialog : public Open_File_Dialog {
public:
    std::optional<QString> Ask_Open_Path(const Open_File_Request& Request) override
    {
        Requests.append(Request);
        if (Paths.isEmpty())
            return std::nullopt;
        return Paths.takeFirst();
    }

    QList<Open_File_Request> Requests;
    QList<QString> Paths;
};
