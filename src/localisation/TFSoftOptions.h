#pragma once

#include "platform/Platform_Services.h"
#include "widgets/Ui_Title_Area.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class Version_Watch;
class Workspace;

// The software options: language, internet access with the version check,
// and two table behaviours of the editors. A picked language is applied at
// once; everything else, and the language setting itself, only on OK. Cancel,
// Escape and closing give every window back the language it had when the
// dialog opened.
class TFSoftOptions : public QDialog {
    Q_OBJECT
public:
    // Watch runs the version checks and its timer, which OK switches;
    // Change_All_Languages re-applies the texts of every window, this one included.
    TFSoftOptions(Workspace& Space, Platform_Services Services, Version_Watch& Watch,
                  std::function<void()> Change_All_Languages, QWidget* Parent = nullptr);

    void Set_Lang();
    // Asks the maker's web server; true exactly when it publishes a newer version.
    bool Check_Version();

    QStringList SL_Languages;
    int Show_Page = 1;
    // The language on screen, which OK makes the setting.
    QString Language_In_Use;

    void reject() override;

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QWidget* Build_Language_Page();
    QWidget* Build_Connection_Page();
    QWidget* Build_Settings_Page();
    void FormShow();
    void Fit_Texts();
    void Create_Lang_List();
    void Update_Lang_Page(int Num_Page);
    void Show_Flag(int Place, const QString& Language);
    void Btn_NextClick(QPushButton* Button);
    void LangClick(int Place);
    // Loads the language and re-applies the texts of every window.
    void Show_Language(const QString& Language);
    void Update_CheckBox();
    void Btn_Check_UpdateClick();
    void Show_Check_Answer();
    void LL_Check_UpdateLinkClick(const QString& Link);
    void Btn_OKClick();
    QString Page_Line(int Page, int Count) const;

    Workspace& Space;
    Platform_Services Services;
    Version_Watch& Watch;
    bool Check_Found_Newer = false; // the answer LL_Check_Update shows
    QString Language_At_Open;
    std::function<void()> Change_All_Languages;

    Title_Area Title;
    QTabWidget* PC_Options;
    QWidget* TS_Language;
    QWidget* TS_Con_Options;
    QWidget* TS_Soft_Settings;
    QLabel* L_Sel_Lang;
    QLabel* L_Page_Lang;
    QPushButton* Btn_Prev;
    QPushButton* Btn_Next;
    std::array<QLabel*, 6> I_L{};
    std::array<QLabel*, 6> L_L{};
    QCheckBox* CB_En_Con;
    QCheckBox* CB_Update;
    QPushButton* Btn_Check_Update;
    QLabel* LL_Check_Update;
    QCheckBox* CB_Soft_Set_Jump_Table;
    QCheckBox* CB_DoubleClick_Auto_Size;
    QPushButton* Btn_OK;
    QPushButton* Btn_Cancel;
};
