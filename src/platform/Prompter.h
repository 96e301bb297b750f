#pragma once

#include <QString>

// The modal message boxes. The windows show every message through this seam,
// so tests answer them from a script instead of a real box.
enum class Prompt_Kind { Error, Warning, Information, Confirmation };
// Yes_No_Default_No: Yes and No with No as the default answer, for a
// question whose safe answer is to go back; Escape answers No as well.
enum class Prompt_Buttons { Ok, Yes_No, Yes_No_Default_No };
enum class Prompt_Answer { Ok, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Prompt_Answer Show(Prompt_Kind Kind, const QString& Text, Prompt_Buttons Buttons) = 0;

    void Error(const QString& Text) { Show(Prompt_Kind::Error, Text, Prompt_Buttons::Ok); }
    void Information(const QString& Text) { Show(Prompt_Kind::Information, Text, Prompt_Buttons::Ok); }
    // A confirmation box with Yes and No; true only for Yes.
    bool Confirm(const QString& Text)
    {
        return Show(Prompt_Kind::Confirmation, Text, Prompt_Buttons::Yes_No) == Prompt_Answer::Yes;
    }
    // The same, with No as the default answer.
    bool Confirm_Default_No(const QString& Text)
    {
        return Show(Prompt_Kind::Confirmation, Text, Prompt_Buttons::Yes_No_Default_No) == Prompt_Answer::Yes;
    }
};
