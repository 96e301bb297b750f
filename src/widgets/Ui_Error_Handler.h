#pragma once

#include "platform/Prompter.h"
#include "platform/Xml_File.h"

#include <exception>
#include <utility>

// The general error handler: runs an action of a window and shows whatever
// error escapes it in an error box, so no exception crosses the event loop
// and the program goes on. Returns whether the action completed.
template <class Action>
bool Run_Guarded(Prompter& Prompts, Action&& Act)
{
    try {
        std::forward<Action>(Act)();
        return true;
    } catch (const Xml_Parse_Error& Error) {
        Prompts.Error(Error.Message());
    } catch (const std::exception& Error) {
        Prompts.Error(QString::fromUtf8(Error.what()));
    }
    return false;
}
