#pragma once

#include "platform/Prompter.h"

// Shows each message as a modal QMessageBox over the active window.
class Message_Box_Prompter : public Prompter {
public:
    Prompt_Answer Show(Prompt_Kind Kind, const QString& Text, Prompt_Buttons Buttons) override;
};
