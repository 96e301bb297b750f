#include "certificates/Ui_Pem_Tools.h"

#include "certificates/Certificate_Texts.h"
#include "certificates/Crypto_Module.h"
#include "certificates/Pem_Contents.h"
#include "foundation/Lang_Strings.h"
#include "platform/Open_File_Dialog.h"
#include "platform/Prompter.h"

#include <QDateTime>

Pem_Summary_Label::Pem_Summary_Label(const QString& Name, const Lang_Table& Lang_, QWidget* Parent)
    : QLabel(Parent), Lang(Lang_)
{
    setObjectName(Name);
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void Pem_Summary_Label::Show(const QString& Text, const QString& Password)
{
    using namespace Certificates;
    Last_Text = Text;
    Last_Password = Password;
    const QDateTime Now = QDateTime::currentDateTimeUtc();
    const Pem_Reading Read = Read_Pem(Text, Password);
    if (!Read) {
        // Nothing can be told about the text: the line says why, in red.
        Line = Crypto_Missing_Text(Read.error(), Lang);
        Marked = true;
        setStyleSheet(QStringLiteral("color: #b00000;"));
        Hint = Line;
        setAccessibleName(Line);
        Elide();
        return;
    }
    const Pem_Contents& Found = *Read;
    Line = Summary(Found, Now, Lang);
    bool Out_Of_Date = false;
    for (const Certificate_Info& Certificate : Found.Certificates)
        Out_Of_Date = Out_Of_Date || Certificate.Not_After < Now || Certificate.Not_Before > Now;
    bool Closed_Key = false;
    for (const Private_Key_Info& Key : Found.Keys)
        Closed_Key = Closed_Key || !Key.Opened;
    Marked = !Found.Blank && (!Found.Usable() || Out_Of_Date || Closed_Key);
    setStyleSheet(Marked ? QStringLiteral("color: #b00000;") : QString());
    Hint = Found.Blank ? QString() : Details(Found, Now, Lang);
    setAccessibleName(Line);
    Elide();
}

void Pem_Summary_Label::resizeEvent(QResizeEvent* Event)
{
    QLabel::resizeEvent(Event);
    Elide();
}

void Pem_Summary_Label::Elide()
{
    // One line: what does not fit ends in an ellipsis, and the hint then
    // starts with the whole line.
    const QString Shown = fontMetrics().elidedText(Line, Qt::ElideRight, width());
    setText(Shown);
    setToolTip(Shown == Line || Hint.startsWith(Line) ? Hint : Line + QStringLiteral("\n\n") + Hint);
}

std::optional<QString> Ask_Pem_File(Open_File_Dialog& Dialog, Prompter& Prompts, const Lang_Table& Lang,
                                    const QString& Initial_Folder, bool Keys_Too)
{
    using namespace Certificates;
    Open_File_Request Request;
    Request.Title = Lang[Text_Slot::Load_Dialog_Title];
    Request.Initial_Folder = Initial_Folder;
    Request.Filter_Description = Lang[Text_Slot::Load_Filter];
    Request.Patterns = {QStringLiteral("*.pem"), QStringLiteral("*.crt"), QStringLiteral("*.cer")};
    if (Keys_Too)
        Request.Patterns.append(QStringLiteral("*.key"));
    Request.All_Files_Description = Lang[Text_Slot::Load_Filter_All];
    const std::optional<QString> Path = Dialog.Ask_Open_Path(Request);
    if (!Path)
        return std::nullopt;
    std::expected<QString, QString> Pem = Load_File(*Path, Lang);
    if (!Pem) {
        Prompts.Error(Pem.error());
        return std::nullopt;
    }
    return *Pem;
}
