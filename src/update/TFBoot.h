#pragma once

#include "platform/Platform_Services.h"
#include "platform/Xml_File.h"
#include "update/Start_Program.h"
#include "widgets/Ui_Title_Area.h"

#include <QDialog>
#include <QPointer>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class Workspace;
class TFFind_Gateways;

// The update dialog: checks that the gateway answers, then writes the
// updater's parameter file and runs the updater.
class TFBoot : public QDialog {
    Q_OBJECT
public:
    // Update media; Ethernet (UDP) is the only one this gateway serves.
    static constexpr int Form_Type_Ethernet = 1;

    TFBoot(Workspace& Space, Platform_Services Services, QWidget* Parent = nullptr);

    // Shows the dialog modally for an update over Ethernet; the main window
    // calls it after a successful compilation of the banks.
    int Run_Ethernet_Update();

    void Set_Lang();
    void Btn_UpdateClick();
    bool Send_Ping();
    void Compile_XML_Parameter_New_Boot();

    int Form_Type = Form_Type_Ethernet;
    int ping_res = 0;
    // How the last start of the updater ended (nothing when none was tried).
    std::optional<Start_Program_Outcome> Last_Start;
    // The process id of an updater this dialog stopped waiting for that
    // still runs; no second update may start next to it.
    std::optional<qint64> Running_Updater() const;
    // Tells the user, and says true, when such an updater still runs.
    bool Refuse_While_Updater_Runs();

    void reject() override;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void Lay_Out();
    void Fit_Texts();
    void FormShow();
    void Update_Guarded();
    // While the check and the updater run, the controls take no input and the
    // cursor says the program is busy; Cancel may stay to end the check.
    void Set_Busy(bool Busy, bool Cancel_Stays);
    // Runs the updater and tells in the status line how it ended.
    void Run_Updater();
    // Drops the clicks and keys that arrived while the window could not react.
    void Discard_Queued_Input();
    QString Address_Text() const;

    Workspace& Space;
    Platform_Services Services;
    Xml_File Update_Xml;
    bool Checking = false;
    // Cancel (or Esc, or the close box) while the check lets window messages
    // run: the update the user gave up must not start afterwards.
    bool Cancel_Requested = false;

    Title_Area Title;
    QFrame* CP_IP_Address = nullptr;
    QLabel* L_IP_Address = nullptr;
    std::array<QLineEdit*, 4> E_IP{};
    QFrame* CP_Update_Options = nullptr;
    QLabel* L_Update_Options = nullptr;
    QComboBox* CB_Update_Options = nullptr;
    QCheckBox* CB_Update_Option_Read_Back = nullptr;
    QPushButton* Btn_Update = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    // Finds the gateways on the network; the one chosen fills the address.
    QPushButton* Btn_Find_Gateways = nullptr;
    TFFind_Gateways* FFind_Gateways = nullptr;
    void Find_Gateway();
    // How the last run of the updater ended.
    QLabel* L_Status = nullptr;
    QPointer<QWidget> Focus_Before;
};
