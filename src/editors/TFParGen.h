#pragma once

#include "checks/Par_Gen_Checks.h"
#include "checks/Project_Checks.h"
#include "widgets/Ui_Title_Area.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QToolButton;
class QUndoStack;
class Undo_Controls;
class Collapsible_Group;
class Open_File_Dialog;
class Pem_Summary_Label;
class Prompter;
class Workspace;

// The general parameters editor: the IEC 61850 server, its TLS material and
// the PROFINET identity of the device, kept in ParGen.xml.
class Save_Guard;

class TFParGen : public QDialog {
    Q_OBJECT
public:
    // Without an open-file dialog the desktop's own is used.
    TFParGen(Workspace& Space, Prompter& Prompts, QWidget* Parent = nullptr, Open_File_Dialog* Open_Dialog = nullptr);
    ~TFParGen() override;

    void Set_Lang();
    // Loads the file into the controls. A malformed file raises
    // Xml_Parse_Error and leaves the dialog unopened.
    void FormShow();
    // FormShow, then the modal dialog.
    int Execute();
    // True when the check of the values (and, with TLS enabled, of the key and
    // certificates) finds no error; otherwise the first error has been shown
    // and its field has the focus.
    bool Controllo_Dati();
    // After Controllo_Dati: true when its check found no warning or the user
    // saves anyway; the warnings are asked about together, No keeping the
    // dialog open.
    bool Controllo_TLS();
    // Fills a TLS box from a key or certificate file.
    void Load_TLS_File(QPlainTextEdit* Box);
    void Btn_OKClick();
    void Btn_CancelClick();
    // Cancel, Escape and the title-bar button: unsaved edits are given up only
    // after the user agreed.
    void reject() override;

    // The values differ from those loaded: it follows the undo history, so
    // undoing back to the loaded values means nothing changed.
    bool Is_Change = false;

    // Each finished field edit, check-box click and TLS box load is one step.
    QUndoStack& Undo_History() { return *History; }
    // What OK checks before it writes the file.
    Save_Guard& Guard() { return *Guard_Of_File; }
    // The values as the controls show them, as OK would save them.
    Par_Gen::Values Shown_Values() const { return Read_Controls(); }
    void Btn_UndoClick();
    void Btn_RedoClick();
    // Puts values back as a step of the history does.
    void Restore_Values(const Par_Gen::Values& Data);

protected:
    // What the last Controllo_Dati found.
    QList<Checks::Finding> Findings;

    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormCreate();
    QWidget* Build_Title_Panel();
    QWidget* Build_Group_Stack();
    QWidget* Build_Button_Panel();
    void Build_IEC61850_Server();
    void Build_TLS_Server();
    void Build_PROFINET();
    // Controls in the file's order, and the chain of address bytes.
    void List_Controls();
    // The groups 1, 2, 3, each header followed by its controls, then OK and Cancel.
    void Order_Keyboard();
    void Order_TAB_Panels();
    void Set_Group_Captions();
    void Move_GroupBoxs();
    void Stack_Groups();
    // The gateway bytes and the diagnostic address can be edited only while their check box is on.
    void Enable_Optional_Fields();
    // Opens the group of a field, scrolls to it and gives it the focus.
    void Go_To_Field(QWidget* Field);
    // Scrolls the group stack so that the control is in view.
    void Show_In_Stack(QWidget* Control);
    void On_Change();
    void On_Click(QCheckBox* Sender);
    Par_Gen::Values Read_Controls() const;
    void Write_Controls(const Par_Gen::Values& Data);

    QLabel* Make_Label(QWidget* Body, const QString& Name, int Y);
    QLineEdit* Make_Edit(QWidget* Body, const QString& Name, int X, int Y, int W);
    QPlainTextEdit* Make_Text_Box(QWidget* Body, const QString& Name, int Y);
    // A secret field: dots, and a button beside it that shows the text while held down.
    QToolButton* Make_Secret(QWidget* Body, QLineEdit* Edit);
    QCheckBox* Make_Check(QWidget* Body, const QString& Name, int X, int Y, int W);
    // The load button beside a TLS box and the summary line under it; returns where the next row starts.
    int Make_TLS_Tools(QWidget* Body, QPlainTextEdit* Box, const QString& Name, QPushButton*& Load,
                       Pem_Summary_Label*& Info);
    void Fit_Label_Column();
    // A step named after the control, when the values differ from those of the last step.
    void Record_Step(int Slot, const QWidget* Control);
    void Build_Undo();
    QLineEdit* Make_Byte_Row(QWidget* Body, const QString& Prefix, int Y, std::array<QLineEdit*, 4>& Bytes);

    Workspace& Space;
    Prompter& Prompts;
    std::unique_ptr<Open_File_Dialog> Own_Open_Dialog;
    Open_File_Dialog* Open_Dialog;
    std::unique_ptr<Save_Guard> Guard_Of_File;

    QWidget* P_Title = nullptr;
    QWidget* P_Button = nullptr;
    Title_Area Title;
    QScrollArea* Scroll = nullptr;
    QWidget* CPG = nullptr;
    Collapsible_Group* CP_IEC61850_Server = nullptr;
    Collapsible_Group* CP_TLS_Server = nullptr;
    Collapsible_Group* CP_PROFINET = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QPushButton* Btn_Undo = nullptr;
    QPushButton* Btn_Redo = nullptr;
    QUndoStack* History = nullptr;
    // Undo and Redo, their keys and hints; gone before the history (a child of the dialog).
    std::unique_ptr<Undo_Controls> Undo_Keys;
    Par_Gen::Values Last_Values;
    bool Restoring = false;

    QLabel* L_IEC61850_Server_Port = nullptr;
    QLineEdit* E_IEC61850_Server_Port = nullptr;
    QLabel* L_IEC61850_Server_Password = nullptr;
    QLineEdit* E_IEC61850_Server_Password = nullptr;
    QToolButton* Btn_IEC61850_Server_Password_Show = nullptr;

    QCheckBox* CB_TLS_Server_Enable = nullptr;
    QLabel* L_TLS_Server_Key = nullptr;
    QPlainTextEdit* E_TLS_Server_Key = nullptr;
    QLabel* L_TLS_Server_Key_Pass = nullptr;
    QLineEdit* E_TLS_Server_Key_Pass = nullptr;
    QToolButton* Btn_TLS_Server_Key_Pass_Show = nullptr;
    QLabel* L_TLS_Server_Server_Cert = nullptr;
    QPlainTextEdit* E_TLS_Server_Server_Cert = nullptr;
    QLabel* L_TLS_Server_Root_Cert = nullptr;
    QPlainTextEdit* E_TLS_Server_Root_Cert = nullptr;
    QCheckBox* CB_TLS_Server_En_Known_Cert = nullptr;
    QPushButton* Btn_TLS_Server_Key_Load = nullptr;
    QPushButton* Btn_TLS_Server_Server_Cert_Load = nullptr;
    QPushButton* Btn_TLS_Server_Root_Cert_Load = nullptr;
    Pem_Summary_Label* L_TLS_Server_Key_Info = nullptr;
    Pem_Summary_Label* L_TLS_Server_Server_Cert_Info = nullptr;
    Pem_Summary_Label* L_TLS_Server_Root_Cert_Info = nullptr;

    QLabel* L_PROFINET_IP = nullptr;
    std::array<QLineEdit*, 4> E_PROFINET_IP{};
    QLabel* L_PROFINET_SM = nullptr;
    std::array<QLineEdit*, 4> E_PROFINET_SM{};
    QCheckBox* CB_PROFINET_GAT = nullptr;
    std::array<QLineEdit*, 4> E_PROFINET_GAT{};
    QLabel* L_PROFINET_TunnelPort = nullptr;
    QLineEdit* E_PROFINET_TunnelPort = nullptr;
    QLabel* L_PROFINET_NameStation = nullptr;
    QLineEdit* E_PROFINET_NameStation = nullptr;
    QLabel* L_PROFINET_NByte_In = nullptr;
    QLineEdit* E_PROFINET_NByte_In = nullptr;
    QLabel* L_PROFINET_NByte_Out = nullptr;
    QLineEdit* E_PROFINET_NByte_Out = nullptr;
    QCheckBox* CB_PROFINET_Diagnostic = nullptr;
    QLineEdit* E_PROFINET_Diagnostic = nullptr;

    // The control of each element of the file, in the file's order.
    std::array<QWidget*, Par_Gen::Element_Count> Controls{};
    // The chain the "." key walks through.
    std::array<QLineEdit*, 12> Byte_Chain{};
};
