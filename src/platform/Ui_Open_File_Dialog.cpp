#include "platform/Ui_Open_File_Dialog.h"

#include "platform/Ui_Save_File_Dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

QStringList Qt_Open_File_Dialog::Filters(const Open_File_Request& Request)
{
    // One pattern is written as the save dialog writes it.
    if (Request.Patterns.isEmpty())
        return {Qt_Save_File_Dialog::Filter_Text({{}, {}, Request.Filter_Description, Request.Filter_Pattern})};
    return {Request.Filter_Description + QStringLiteral(" (") + Request.Patterns.join(u' ') + u')',
            Request.All_Files_Description + QStringLiteral(" (*)")};
}

std::optional<QString> Qt_Open_File_Dialog::Ask_Open_Path(const Open_File_Request& Request)
{
    QFileDialog Dialog(QApplication::activeWindow(), Request.Title);
    Dialog.setAcceptMode(QFileDialog::AcceptOpen);
    Dialog.setFileMode(QFileDialog::ExistingFile);
    Dialog.setDirectory(Request.Initial_Folder);
    Dialog.setNameFilters(Filters(Request));
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(Dialog.selectedFiles().constFirst());
}
