#include "platform/Ui_Open_File_Dialog.h"

#include "platform/Ui_Save_File_Dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

std::optional<QString> Qt_Open_File_Dialog::Ask_Open_Path(const Open_File_Request& Request)
{
    QFileDialog Dialog(QApplication::activeWindow());
    Dialog.setAcceptMode(QFileDialog::AcceptOpen);
    Dialog.setFileMode(QFileDialog::ExistingFile);
    Dialog.setDirectory(Request.Initial_Folder);
    // The filter is written as the save dialog writes it.
    Dialog.setNameFilter(Qt_Save_File_Dialog::Filter_Text({{}, {}, Request.Filter_Description, Request.Filter_Pattern}));
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(Dialog.selectedFiles().constFirst());
}
