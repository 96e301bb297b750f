#pragma once

#include "commission/Plant_List.h"
#include "dcp/Dcp_Frames.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <expected>
#include <functional>

class Lang_Table;
class Raw_Ethernet_Port;

// One commissioning run over a plant list: one Identify All, then gateway
// after gateway the name and address set permanently where they differ and
// checked by an Identify of the new name, the configuration compiled and,
// when asked, handed to the updater. A gateway that fails never stops the
// others; devices not on the list are only reported.
namespace Commission {

enum class Gateway_State {
    Pending,               // not done yet (the run was stopped before it)
    Done,
    Already_Right,         // nothing was sent
    Not_Found,
    Refused,               // the device refused a Set, or did not answer it
    Verification_Failed,   // the device does not report what was set
    Conflict,              // another device, not on the list, holds the name or the address
    Configuration_Refused,
    Update_Failed,
    Would_Change,          // a dry run: would be set
};
// The state's word in the command's output and the state file ("done", "already-right", ...).
QString State_Key(Gateway_State State);
std::optional<Gateway_State> State_Of_Key(const QString& Key);
// Done or already right (or, in a dry run, about to be done).
bool Is_Success(Gateway_State State);
// Ended, and not in success: what "Retry failed" takes again.
bool Is_Failure(Gateway_State State);

struct Gateway_Outcome {
    Gateway_State State = Gateway_State::Pending;
    QString Text;          // why, in words
    QStringList Sent;      // each request sent, in words
    QStringList Answered;  // each answer of the device, in words
    bool Updated = false;  // its banks went to the updater
    QString Bank1_Sha256;  // hex, of the banks compiled (and updated when Updated)
    QString Bank2_Sha256;
    QDateTime Finished;
};

// The two bank files of a compiled configuration.
struct Compiled_Banks {
    QString Bank1_Path;
    QString Bank2_Path;
};

// The steps on a configuration, apart from the wire, so that tests may stand in for them.
struct Configuration_Steps {
    // Checks and compiles the configuration in Dir; the reason when refused.
    std::function<std::expected<Compiled_Banks, QString>(const QString& Dir)> Compile;
    // Hands the banks of Dir to the updater for the device at Address and waits for it.
    std::function<std::expected<void, QString>(const QString& Dir, const Ipv4_Address& Address)> Update;
};

struct Run_Settings {
    QString Interface;
    bool Update = false;
    bool Dry_Run = false;
    std::chrono::milliseconds Identify_Window{1000};
    std::chrono::milliseconds Verify_Window{1000};
    QString State_File; // where the state is kept after every gateway; empty: nowhere
    // The language a device's answers are written in; none: English.
    const Lang_Table* Texts = nullptr;
};

struct Run_Report {
    QList<Gateway_Outcome> Outcomes;      // one per row of the list
    QList<Dcp::Device_Record> Not_Listed; // answered the search, not on the list: never changed
    int Devices_Answered = 0;
    bool Stopped = false;
    QString Failure;           // the interface failed: nothing could be done
    QString State_Failure;     // the state file could not be written
    int Frames_Sent = 0;
    int Set_Frames_Sent = 0;
    QDateTime Started;
};

// "PLANT.csv.state.json" beside the list.
QString State_File_Of(const QString& List_Path);

class Run {
public:
    Run(const Plant_List& List, Raw_Ethernet_Port& Port, Run_Settings Settings, Configuration_Steps Steps);

    // Told when a gateway's step starts and when it has its state.
    std::function<void(int Row)> Gateway_Started;
    std::function<void(int Row, const Gateway_Outcome&)> Gateway_Finished;
    // Told of the search's progress (0..1).
    std::function<void(double)> Searching;

    // Runs over the rows in Rows (all when empty). Stop is looked at between
    // two gateways, never between a Set and its check. Outcomes of rows not
    // run are taken from Earlier where given, else from the state file.
    Run_Report Execute(const std::atomic_bool& Stop, const QList<int>& Rows = {},
                       const QList<Gateway_Outcome>& Earlier = {});

private:
    Gateway_Outcome Commission_Gateway(Raw_Ethernet_Port& Port, const Plant_Row& Row, const QList<Dcp::Device_Record>& Found,
                                       const Gateway_Outcome& Before);
    Gateway_Outcome Plan_Gateway(const Plant_Row& Row, const QList<Dcp::Device_Record>& Found);
    std::optional<QString> Conflict_Of(const Plant_Row& Row, const QList<Dcp::Device_Record>& Found) const;
    void Configuration_Step(const Plant_Row& Row, const Gateway_Outcome& Before, Gateway_Outcome& Out);
    QList<Gateway_Outcome> Read_State() const;
    std::optional<QString> Write_State(const QList<Gateway_Outcome>& Outcomes) const;
    const Lang_Table& Texts() const;

    const Plant_List& List;
    Raw_Ethernet_Port& Wire;
    Run_Settings Settings;
    Configuration_Steps Steps;
    QHash<QString, std::expected<Compiled_Banks, QString>> Compiled;
};

// The whole report as one document: {"list", "interface", "gateways":
// [{"mac", "name", "ip", "mask", "gateway", "configuration", "state", "text",
// "sent", "answered", "bank1_sha256", "bank2_sha256", "time"}], "not_listed": [...]}.
QJsonObject Report_Json(const Plant_List& List, const Run_Settings& Settings, const Run_Report& Report);
// One line per gateway: "MAC NAME ADDRESS STATE: TEXT".
QString Outcome_Line(const Plant_Row& Row, const Gateway_Outcome& Outcome);

// The SHA-256 of a file's bytes in hex; empty when it cannot be read.
QString File_Sha256(const QString& Path);

} // namespace Commission
