#pragma once

#include "widgets/Ui_Title_Area.h"

#include <QDate>
#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class Prompter;
class Save_File_Dialog;
class Workspace;

// Composes the file name of the device description from the fixed first
// part, the user's part and the date the program started.
class TFProfinetFileName : public QDialog {
    Q_OBJECT
public:
    // Start_Date is the day the last fixed part shows for the whole run.
    TFProfinetFileName(Workspace& Space, Prompter& Prompts, const QDate& Start_Date = QDate::currentDate(),
                       QWidget* Parent = nullptr);
    void Set_Lang();
    // Composes the name and closes with OK; a user part that cannot stand in
    // a file name is refused with a message first.
    void Btn_OKClick();

    // The composed name, set by OK.
    QString Name_File_XML;

    // Asks for the folder of the device description named Name_File_XML and,
    // for an existing file, whether to overwrite it; then writes it, showing
    // a write failure. The path written, or nothing when the user gave up or
    // the write failed (the failure has been shown).
    std::optional<QString> Save_Profinet_XML(Save_File_Dialog& Dialog);
    // The same for the file Name of Space's active configuration.
    static std::optional<QString> Save_Profinet_XML(const Workspace& Space, Prompter& Prompts,
                                                    Save_File_Dialog& Dialog, const QString& Name);

private:
    void FormCreate(const QDate& Start_Date);
    void Fit_Name_Parts();

    Workspace& Space;
    Prompter& Prompts;
    Title_Area Title;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* L_XML_Fix1 = nullptr;
    QLineEdit* E_XML_User = nullptr;
    QLabel* L_XML_Fix2 = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
};
