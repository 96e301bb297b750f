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

    // The periodic version check; LL_Update shows when it finds a newer version.
    Version_Watch Update_Watch;

protected:
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FormCreate();
    void Lay_Out();
    void Create_Windows();
    void Show_Configuration_Lines();
    // The status line says what the last step wrote, in the language on
    // screen: Text is read again at each language change; nothing clears it.
    void Show_Status(std::function<QString()> Text);
    void Show_Update_Notice();
    void Show_Version_Answer(bool Newer_Published);
    void Create_New_Project();
    void Open_Project();
    // Compiles the active configuration and writes its bank files; returns
    // whether they were written, the condition for the update to go on.
    bool Update_Device();
    void PROFINET_XML();
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
    QLabel* L_Korvex = nullptr;
    // What steps 5 and 6 wrote, and where.
    QLabel* L_Status = nullptr;
    std::function<QString()> Status_Text;

    // The other windows, created once in the fixed order and kept for the whole run.
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
};
