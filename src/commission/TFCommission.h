#pragma once

#include "commission/Commission_Run.h"
#include "commission/Plant_List.h"
#include "platform/Platform_Services.h"

#include <QDialog>

#include <atomic>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;
class Decimal_Separator;
class Workspace;

// "Commission plant…": opens a plant list, shows each gateway with the
// list's checks before anything is sent, and runs the commissioning on a
// worker thread, each row filling in with its state, what was sent and what
// the device answered. Cancel stops after the current gateway; Retry failed
// runs the failed rows again; the record is written as a PDF.
class TFCommission : public QDialog {
    Q_OBJECT
public:
    TFCommission(Workspace& Space, Platform_Services Services, QWidget* Parent = nullptr);
    ~TFCommission() override;

    void Set_Lang();
    int Execute();

    // Reads the list and shows it; false when it could not be read (the user is told why).
    bool Open_List(const QString& Path);
    void Ask_And_Open_List();
    void Start();
    void Cancel();
    void Retry_Failed();
    void Write_Record();
    bool Running() const { return Worker != nullptr; }

    // How long the gateways are given to answer the one search.
    std::chrono::milliseconds Search_Window{1000};
    const QList<Commission::Gateway_Outcome>& Outcomes() const { return Shown; }

protected:
    void showEvent(QShowEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void reject() override;

private:
    void Lay_Out();
    void Fill_Interfaces();
    void Fill_Table();
    void Show_Row(int Row);
    void Run_Rows(const QList<int>& Rows);
    void Gateway_Started(int Row);
    void Gateway_Finished(int Row, const Commission::Gateway_Outcome& Outcome);
    void Run_Ended(const Commission::Run_Report& Report);
    void Update_Buttons();
    void Show_Progress();
    void Stop_And_Wait();

    Workspace& Space;
    Platform_Services Services;
    std::unique_ptr<Decimal_Separator> Own_Separator; // where the services give none
    std::optional<Commission::Plant_List> List;
    QList<Commission::Gateway_Outcome> Shown;
    std::optional<Commission::Run_Report> Last_Report;
    Commission::Run_Settings Last_Settings;
    QList<int> Row_Running;
    int Running_Row = -1;
    int Done_In_Run = 0;
    int Rows_In_Run = 0;
    std::atomic_bool Stop{false};
    QThread* Worker = nullptr;

    QLabel* L_List = nullptr;
    QLineEdit* E_List = nullptr;
    QPushButton* Btn_Open_List = nullptr;
    QLabel* L_Interface = nullptr;
    QComboBox* CB_Interface = nullptr;
    QCheckBox* CB_Update = nullptr;
    QTableWidget* TW_Gateways = nullptr;
    QProgressBar* PB_Run = nullptr;
    QLabel* L_Status = nullptr;
    QPushButton* Btn_Start = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QPushButton* Btn_Retry = nullptr;
    QPushButton* Btn_Record = nullptr;
    QPushButton* Btn_Close = nullptr;
};
