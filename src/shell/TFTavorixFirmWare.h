#pragma once

#include "localisation/Version_Watch.h"
#include "platform/Platform_Services.h"
#include "widgets/Ui_Title_Area.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class QFrame;
class QLabel;
class QPushButton;
class Workspace;
class TFNew_Project;
class TFOpenConf;
class TFSoftOptions;
class Configuration_Image;
class TFProfinetFileName;
class TFParGen;
class TFTLS_Server_Known_Cert;
class TFIEC61850_Variables;
class TFAbout;
class TFBoot;
class TFFind_Gateways;
class TFCommission;
class Project_Lock;
class Save_Guard;

// The main window: the numbered workflow steps, the active configuration and
// the start-up and shutdown of the program.
class TFTavorixFirmWare : public QMainWindow {
    Q_OBJECT
public:
    TFTavorixFirmWare(Workspace& Space, Platform_Services Services, QWidget* Parent = nullptr);
    ~TFTavorixFirmWare() override;

    void Set_Lang();
    // Re-applies the texts of every window, this one first.
    void Change_Language();
    void Btn_Click(QPushButton* Button);
    void L_KorvexClick();
    void LL_UpdateLinkClick(const QString& Link);
    // Builds every window not opened yet, for the walks over all of them
    // (texts, places); the run builds each at its first opening.
    void Build_Every_Window();

    // Not empty: the active configuration is open read-only, and this says why.
    const QString& Read_Only_Reason() const { return Read_Only; }

    // The periodic version check; LL_Update shows when it finds a newer version.
    Version_Watch Update_Watch;

protected:
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormCreate();
    void Lay_Out();
    // The other windows, each built at its first opening with the language
    // then in use, and kept for the rest of the run.
    template <class Window, class Make> Window& Built(Window*& Slot, Make&& Build);
    TFNew_Project& New_Project();
    TFOpenConf& Open_Conf();
    TFSoftOptions& Soft_Options();
    TFAbout& About();
    TFParGen& Par_Gen();
    TFTLS_Server_Known_Cert& Known_Cert();
    TFIEC61850_Variables& Variables();
    TFBoot& Boot();
    TFFind_Gateways& Find_Gateways();
    TFCommission& Commission();
    TFProfinetFileName& Profinet_File_Name();
    void Show_Configuration_Lines();
    // The status line says what the last step wrote, in the language on
    // screen: Text is read again at each language change; nothing clears it.
    void Show_Status(std::function<QString()> Text);
    void Show_Update_Notice();
    void Show_Version_Answer(bool Newer_Published);
    // After the active configuration changed (Previous: the one active
    // before): takes its lock. Where another program holds it, the user opens
    // it read-only or goes back to Previous.
    void Claim_Configuration(const QString& Previous);
    // Hands an editor the read-only reason and the differences window.
    void Prepare(Save_Guard& Guard);
    // Shows the read-only reason and answers true when there is one.
    bool Refuse_Read_Only();
    void Create_New_Project();
    void Open_Project();
    // Compiles the active configuration and writes its bank files; returns
    // whether they were written, the condition for the update to go on.
    bool Update_Device();
    void PROFINET_XML();
    // Says why and returns true when a project file would be read as defaults.
    bool Refuse_Files_Read_As_Defaults();
    // Steps 5 and 6 on a configuration without general parameters use their defaults: the user is told.
    void Notice_Default_Parameters();
    // Writes the settings file; a failure is shown, and whatever asked goes on.
    void Save_Setting();
    QPushButton* Make_Button(const QString& Name, int X, int Y, int W, int H);

    Workspace& Space;
    Platform_Services Services;

    Title_Area Title;
    QLabel* LL_Update = nullptr;
    QPushButton* Btn_Info = nullptr;
    QPushButton* Btn_Opz = nullptr;
    QPushButton* Btn_Close = nullptr;
    QLabel* L_Begin = nullptr;
    QFrame* Frame_Conf = nullptr;
    QLabel* L_Name_Conf = nullptr;
    QLabel* L_Name_Conf_L2 = nullptr;
    std::array<QLabel*, 8> L_Step{};
    QPushButton* Btn_New = nullptr;
    QPushButton* Btn_Open = nullptr;
    QPushButton* Btn_Prm_Gen = nullptr;
    QPushButton* Btn_IEC61850_Access = nullptr;
    QPushButton* Btn_TLS_List_Certificates = nullptr;
    QPushButton* Btn_PROFINET_XML = nullptr;
    QPushButton* Btn_CreateBin = nullptr;
    QPushButton* Btn_Modbus_Set_Access = nullptr;
    QPushButton* Btn_SNMP_MIB = nullptr;
    // Finds the gateways on the network; needs no configuration.
    QPushButton* Btn_Find_Gateways = nullptr;
    QPushButton* Btn_Commission = nullptr;
    QPushButton* Btn_Report = nullptr;
    QLabel* L_Korvex = nullptr;
    // What steps 5 and 6 wrote, and where.
    QLabel* L_Status = nullptr;
    std::function<QString()> Status_Text;

    // The lock of the active configuration, while this program has it.
    std::unique_ptr<Project_Lock> Lock;
    QString Read_Only;

    // The other windows, null until first opened.
    TFNew_Project* FNew_Project = nullptr;
    TFOpenConf* FOpenConf = nullptr;
    TFSoftOptions* FSoftOptions = nullptr;

    // The configuration image: kept from one compilation to the next.
    std::unique_ptr<Configuration_Image> Image;
    TFProfinetFileName* FProfinetFileName = nullptr;
    TFParGen* FParGen = nullptr;
    TFTLS_Server_Known_Cert* FTLS_Server_Known_Cert = nullptr;
    TFIEC61850_Variables* FIEC61850_Variables = nullptr;
    TFAbout* FAbout = nullptr;
    TFBoot* FBoot = nullptr;
    TFFind_Gateways* FFind_Gateways = nullptr;
    TFCommission* FCommission = nullptr;
};
