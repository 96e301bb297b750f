#include "platform/Ui_Save_File_Dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

namespace {

// Wildcard characters in a plain file name must match themselves.
QString Escape_Wildcards(const QString& Name)
{
    QString Escaped;
    for (const QChar C : Name) {
        if (C == u'*' || C == u'?' || C == u'[')
            Escaped += u'[' + QString(C) + u']';
        else
            Escaped += C;
    }
    return Escaped;
}

} // namespace

QString Qt_Save_File_Dialog::Filter_Text(const Save_File_Request& Request)
{
    // Qt reads the pattern only when it is made of these characters; a blank would split it.
    static const QString Allowed = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                                  "_.,*?;#-[]@{}/!<>$%&=^~:|");
    const QString& Pattern = Request.Filter_Pattern;
    bool Fits = !Pattern.isEmpty();
    for (const QChar C : Pattern)
        Fits = Fits && Allowed.contains(C);
    const QString Shown = Fits ? Escape_Wildcards(Pattern) : QStringLiteral("*.xml");
    return Request.Filter_Description + QStringLiteral(" (") + Shown + u')';
}

std::optional<QString> Qt_Save_File_Dialog::Ask_Save_Path(const Save_File_Request& Request)
{
    QFileDialog Dialog(QApplication::activeWindow());
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setFileMode(QFileDialog::AnyFile);
    // The caller asks about an existing file once it knows the final path.
    Dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    Dialog.setDirectory(Request.Initial_Folder);
    Dialog.setNameFilter(Filter_Text(Request));
    // The user sees the description alone; the pattern still lists only the file of that name.
    Dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    Dialog.selectFile(Request.Preset_Name);
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(Dialog.selectedFiles().constFirst());
}
