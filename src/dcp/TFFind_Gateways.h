#pragma once

#include "dcp/Dcp_Frames.h"
#include "dcp/Dcp_Worker.h"
#include "platform/Platform_Services.h"

#include <QDialog>

#include <chrono>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class Raw_Ethernet_Port;
class Workspace;

// "Find gateways": searches the chosen interface for PROFINET devices, lists
// them (gateways of this type marked and first, shared names and addresses
// flagged), and for the selected gateway flashes its LED, sets its station
// name or its IP parameter, each after a question, then asks it again so the
// table shows what it now holds. The exchange with the devices runs beside
// the window, which stays usable and can cancel it. From the update dialog
// it also hands back the address the user chose.
class TFFind_Gateways : public QDialog {
    Q_OBJECT
public:
    TFFind_Gateways(Workspace& Space, Platform_Services Services, QWidget* Parent = nullptr);

    void Set_Lang();
    // Opened from the main window.
    int Execute();
    // Opened from the update dialog: the address of the gateway the user
    // picked with "Use this address", or nothing.
    std::optional<Ipv4_Address> Choose_Address();

    void Search();
    void Flash();
    void Set_Name();
    void Set_Ip();
    void Use_Address();
    // Ends the running search or change early; what came until then is shown.
    void Cancel();
    // A search or a change is waiting for the devices.
    bool Busy() const { return Worker.Busy(); }
    // Closing cancels what runs.
    void reject() override;

    // How long the devices are given to answer a search, and a refresh after a change.
    std::chrono::milliseconds Search_Window{1500};
    std::chrono::milliseconds Refresh_Window{500};
    std::chrono::milliseconds Set_Wait{1000};
    const QList<Dcp::Device_Record>& Devices() const { return Found; }

    // A piece of the status line as it is stored: a slot and its arguments,
    // each a text or a slot of its own (with the text put in for its %1, when
    // there is one), so that it is written anew in the language chosen.
    struct Status_Argument {
        QString Text;
        int Slot = -1;
    };
    struct Status_Part {
        int Slot = -1;
        QList<Status_Argument> Arguments;
    };

protected:
    void showEvent(QShowEvent* Event) override;

private:
    void Lay_Out();
    void Fill_Interfaces();
    void Prefill_From_Configuration();
    void Fill_Table();
    void Selection_Changed();
    const Dcp::Device_Record* Selected() const;
    std::unique_ptr<Raw_Ethernet_Port> Open_Port();
    // Asks (the question made for the selected device), runs the request and
    // shows the device's answer, then refreshes the device's row.
    // Do runs on the worker's thread and gets its own copies of what it needs.
    template <class Question_For, class Request> void Change(Question_For&& Question, Request Do);
    void Set_Busy(bool On);
    // The other devices of the last search that hold this station name or this address.
    QList<const Dcp::Device_Record*> Holders_Of_Name(const QString& Name, const Dcp::Mac_Address& Except) const;
    QList<const Dcp::Device_Record*> Holders_Of_Address(quint32 Address, const Dcp::Mac_Address& Except) const;
    // The status line: stored, then written in the language chosen.
    void Show_Status(QList<Status_Part> Parts);
    void Render_Status();

    Workspace& Space;
    Platform_Services Services;
    QList<Dcp::Device_Record> Found;
    QString Searched_Interface;
    std::optional<Ipv4_Address> Chosen;
    QList<Status_Part> Status;

    QLabel* L_Interface = nullptr;
    QComboBox* CB_Interface = nullptr;
    QPushButton* Btn_Search = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QProgressBar* PB_Search = nullptr;
    QTableWidget* TW_Devices = nullptr;
    QLabel* L_Status = nullptr;
    QLabel* L_Name = nullptr;
    QLineEdit* E_Name = nullptr;
    QPushButton* Btn_Set_Name = nullptr;
    QLabel* L_Ip = nullptr;
    QLineEdit* E_Address = nullptr;
    QLineEdit* E_Mask = nullptr;
    QLineEdit* E_Gateway = nullptr;
    QCheckBox* CB_Permanent = nullptr;
    QPushButton* Btn_Set_Ip = nullptr;
    QPushButton* Btn_Flash = nullptr;
    QPushButton* Btn_Use_Address = nullptr;
    QPushButton* Btn_Close = nullptr;
    // Last, so that it ends (and waits for its thread) before the widgets go.
    Dcp_Worker Worker{*this};
};
