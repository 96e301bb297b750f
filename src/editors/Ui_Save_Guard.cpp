#include "editors/Ui_Save_Guard.h"

#include "editors/Editor_Texts.h"
#include "foundation/Workspace.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

Save_Guard::Save_Guard(Workspace& Space_, Prompter& Prompts_, QWidget* Dialog_)
    : Space(Space_), Prompts(Prompts_), Dialog(Dialog_)
{
}

void Save_Guard::Remember(const QString& Path) { Loaded = File_Stamp::Of(Path); }

bool Save_Guard::May_Write(const QString& Path, const std::function<QByteArray()>& Mine)
{
    if (Refuse_Read_Only())
        return false;
    for (;;) {
        const File_Stamp Now = File_Stamp::Of(Path);
        if (Now.Same_Content(Loaded))
            return true;
        switch (Ask(Path, Now)) {
        case Choice::Overwrite: return true;
        case Choice::Cancel: return false;
        case Choice::Show_Differences:
            Show_Differences(Dialog, QFileInfo(Path).fileName(), Mine(), Path);
            break;
        }
    }
}

bool Save_Guard::Refuse_Read_Only()
{
    if (Read_Only_Reason.isEmpty())
        return false;
    Prompts.Error(Read_Only_Reason);
    return true;
}

Save_Guard::Choice Save_Guard::Ask(const QString& Path, const File_Stamp& Now)
{
    const QString State =
        Now.Exists ? Space.Str(Guard_Text::Changed_Now)
                         .arg(QLocale().toString(Now.Modified, QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                         .arg(Now.Size)
                   : Space.Str(Guard_Text::Deleted_Now);
    QMessageBox Box(QMessageBox::Warning, Space.Str(Guard_Text::Title),
                    Space.Str(Guard_Text::Changed_Question).arg(QDir::toNativeSeparators(Path), State), QMessageBox::NoButton,
                    Dialog);
    Box.setObjectName(QStringLiteral("Changed_Elsewhere"));
    Box.setTextFormat(Qt::PlainText);
    QPushButton* Overwrite = Box.addButton(Space.Str(Guard_Text::Overwrite), QMessageBox::DestructiveRole);
    Overwrite->setObjectName(QStringLiteral("Btn_Overwrite"));
    QPushButton* Show = nullptr;
    if (Show_Differences && Now.Exists) {
        Show = Box.addButton(Space.Str(Guard_Text::Show_Differences), QMessageBox::ActionRole);
        Show->setObjectName(QStringLiteral("Btn_Show_Differences"));
    }
    QPushButton* Cancel = Box.addButton(Space.Str(Guard_Text::Cancel), QMessageBox::RejectRole);
    Cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    // The safe answer is the one Enter and Escape give.
    Box.setDefaultButton(Cancel);
    Box.setEscapeButton(Cancel);
    Box.exec();
    if (Box.clickedButton() == Overwrite)
        return Choice::Overwrite;
    if (Show && Box.clickedButton() == Show)
        return Choice::Show_Differences;
    return Choice::Cancel;
}
