#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QString>

// Records every message and answers from a queue; with the queue empty a
// Yes/No question is answered No.
class Scripted_Prompter : public Prompter {
public:
    struct Shown {
        Prompt_Kind Kind;
        QString Text;
        Prompt_Buttons Buttons;
    };

    Prompt_Answer Show(Prompt_Kind Kind, const QString& Text, Prompt_Buttons Buttons) override
    {
        Messages.append({Kind, Text, Buttons});
        if (Buttons == Prompt_Buttons::Ok)
            return Prompt_Answer::Ok;
        return Answers.isEmpty() ? Prompt_Answer::No : Answers.takeFirst();
    }

    QStringList Texts() const
    {
        QStringList List;
        for (const Shown& M : Messages)
            List.append(M.Text);
        return List;
    }
    QString Last_Text() const { return Messages.isEmpty() ? QString() : Messages.last().Text; }

    QList<Shown> Messages;
    QList<Prompt_Answer> Answers;
};
