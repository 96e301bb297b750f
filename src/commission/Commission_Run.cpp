#include "commission/Commission_Run.h"

#include "dcp/Dcp_Client.h"
#include "dcp/Dcp_Station.h"
#include "dcp/Dcp_Texts.h"
#include "foundation/Lang_Strings.h"
#include "platform/File_Read.h"
#include "platform/File_Write.h"
#include "platform/Raw_Ethernet.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

namespace Commission {

namespace {

struct State_Name {
    Gateway_State State;
    const char* Key;
};
constexpr State_Name State_Names[] = {
    {Gateway_State::Pending, "pending"},
    {Gateway_State::Done, "done"},
    {Gateway_State::Already_Right, "already-right"},
    {Gateway_State::Not_Found, "not-found"},
    {Gateway_State::Refused, "refused"},
    {Gateway_State::Verification_Failed, "verification-failed"},
    {Gateway_State::Conflict, "conflict"},
    {Gateway_State::Configuration_Refused, "configuration-refused"},
    {Gateway_State::Update_Failed, "update-failed"},
    {Gateway_State::Would_Change, "would-change"},
};

// The port the run sends through, counting what it sends.
class Counting_Port : public Raw_Ethernet_Port {
public:
    explicit Counting_Port(Raw_Ethernet_Port& Inner_) : Inner(Inner_) {}
    std::array<quint8, 6> Mac() const override { return Inner.Mac(); }
    std::expected<void, QString> Send(const QByteArray& Frame) override
    {
        ++Frames;
        if (const auto F = Dcp::Read_Frame(Dcp::As_Bytes(Frame));
            F && F->Frame_Id == Dcp::Frame_Get_Set && F->Service_Id == Dcp::Service_Set)
            ++Set_Frames;
        return Inner.Send(Frame);
    }
    std::optional<QByteArray> Receive(Deadline Until) override { return Inner.Receive(Until); }

    int Frames = 0;
    int Set_Frames = 0;

private:
    Raw_Ethernet_Port& Inner;
};

QString Ip_Text(const Dcp::Ip_Suite& Ip)
{
    return QStringLiteral("%1/%2 gateway %3").arg(Ip.Address.Text(), Ip.Mask.Text(), Ip.Gateway.Text());
}

QString Reported(const Dcp::Device_Record& D)
{
    return QStringLiteral("name \"%1\", address %2")
        .arg(D.Name.value_or(QString()), D.Ip ? Ip_Text(*D.Ip) : QStringLiteral("none"));
}

QByteArray Mac_Key(const Dcp::Mac_Address& Mac) { return QByteArray(reinterpret_cast<const char*>(Mac.data()), 6); }

const Dcp::Device_Record* Find(const QList<Dcp::Device_Record>& Found, const Dcp::Mac_Address& Mac)
{
    for (const Dcp::Device_Record& D : Found)
        if (D.Mac == Mac)
            return &D;
    return nullptr;
}

bool Name_Right(const Plant_Row& Row, const Dcp::Device_Record& D) { return D.Name == Row.Station_Name; }
bool Ip_Right(const Plant_Row& Row, const Dcp::Device_Record& D) { return D.Ip && *D.Ip == Row.Ip; }

// One Set's answer in words; the failure when it was not done.
std::optional<QString> Set_Outcome(const std::expected<Dcp::Set_Response, Dcp::Set_Failure>& Answer,
                                   const QString& What, const Lang_Table& Texts, Gateway_Outcome& Out)
{
    if (!Answer) {
        Out.Answered.append(QStringLiteral("%1: %2").arg(What, Answer.error().Text));
        return QStringLiteral("%1: %2").arg(What, Answer.error().Text);
    }
    const quint8 Error = Answer->First_Error();
    Out.Answered.append(QStringLiteral("%1: %2").arg(What, Dcp::Block_Error_Text(Texts, Error)));
    if (Error != 0)
        return QStringLiteral("the device refused %1: %2").arg(What, Dcp::Block_Error_Text(Texts, Error));
    return std::nullopt;
}

QJsonObject Gateway_Json(const Plant_Row& Row, const Gateway_Outcome& Out)
{
    return QJsonObject{
        {QStringLiteral("mac"), Dcp::Mac_Text(Row.Mac)},
        {QStringLiteral("name"), Row.Station_Name},
        {QStringLiteral("ip"), Row.Ip.Address.Text()},
        {QStringLiteral("mask"), Row.Ip.Mask.Text()},
        {QStringLiteral("gateway"), Row.Ip.Gateway.Text()},
        {QStringLiteral("configuration"), Row.Configuration},
        {QStringLiteral("state"), State_Key(Out.State)},
        {QStringLiteral("text"), Out.Text},
        {QStringLiteral("sent"), QJsonArray::fromStringList(Out.Sent)},
        {QStringLiteral("answered"), QJsonArray::fromStringList(Out.Answered)},
        {QStringLiteral("updated"), Out.Updated},
        {QStringLiteral("bank1_sha256"), Out.Bank1_Sha256},
        {QStringLiteral("bank2_sha256"), Out.Bank2_Sha256},
        {QStringLiteral("time"), Out.Finished.isValid() ? Out.Finished.toString(Qt::ISODate) : QString()},
    };
}

QStringList Strings_Of(const QJsonValue& Value)
{
    QStringList Texts;
    for (const QJsonValue& V : Value.toArray())
        Texts.append(V.toString());
    return Texts;
}

} // namespace

QString State_Key(Gateway_State State)
{
    for (const State_Name& N : State_Names)
        if (N.State == State)
            return QLatin1String(N.Key);
    return {};
}

std::optional<Gateway_State> State_Of_Key(const QString& Key)
{
    for (const State_Name& N : State_Names)
        if (Key == QLatin1String(N.Key))
            return N.State;
    return std::nullopt;
}

bool Is_Success(Gateway_State State)
{
    return State == Gateway_State::Done || State == Gateway_State::Already_Right || State == Gateway_State::Would_Change;
}

bool Is_Failure(Gateway_State State) { return State != Gateway_State::Pending && !Is_Success(State); }

QString State_File_Of(const QString& List_Path) { return List_Path + QStringLiteral(".state.json"); }

QString File_Sha256(const QString& Path)
{
    const auto Bytes = Read_Regular_File(Path);
    if (!Bytes)
        return {};
    return QString::fromLatin1(QCryptographicHash::hash(*Bytes, QCryptographicHash::Sha256).toHex());
}

Run::Run(const Plant_List& List_, Raw_Ethernet_Port& Port, Run_Settings Settings_, Configuration_Steps Steps_)
    : List(List_), Wire(Port), Settings(std::move(Settings_)), Steps(std::move(Steps_))
{
}

const Lang_Table& Run::Texts() const
{
    if (Settings.Texts)
        return *Settings.Texts;
    static const Lang_Table English = [] {
        Lang_Table Table;
        Table.Create_Default_Strings();
        return Table;
    }();
    return English;
}

std::optional<QString> Run::Conflict_Of(const Plant_Row& Row, const QList<Dcp::Device_Record>& Found) const
{
    QSet<QByteArray> Listed;
    for (const Plant_Row& R : List.Rows)
        Listed.insert(Mac_Key(R.Mac));
    for (const Dcp::Device_Record& D : Found) {
        if (D.Mac == Row.Mac || Listed.contains(Mac_Key(D.Mac)))
            continue;
        if (D.Name && *D.Name == Row.Station_Name)
            return QStringLiteral("the station name \"%1\" is already held by %2, which is not on the list; nothing was sent")
                .arg(Row.Station_Name, Dcp::Mac_Text(D.Mac));
        if (D.Ip && D.Ip->Address == Row.Ip.Address)
            return QStringLiteral("the address %1 is already held by %2, which is not on the list; nothing was sent")
                .arg(Row.Ip.Address.Text(), Dcp::Mac_Text(D.Mac));
    }
    return std::nullopt;
}

Gateway_Outcome Run::Plan_Gateway(const Plant_Row& Row, const QList<Dcp::Device_Record>& Found)
{
    Gateway_Outcome Out;
    const Dcp::Device_Record* Device = Find(Found, Row.Mac);
    if (!Device) {
        Out.State = Gateway_State::Not_Found;
        Out.Text = QStringLiteral("no device with this MAC answered the search");
    } else if (const auto Conflict = Conflict_Of(Row, Found)) {
        Out.State = Gateway_State::Conflict;
        Out.Text = *Conflict;
    } else {
        QStringList Would;
        if (!Name_Right(Row, *Device))
            Would.append(QStringLiteral("set the name \"%1\"").arg(Row.Station_Name));
        if (!Ip_Right(Row, *Device))
            Would.append(QStringLiteral("set the address %1").arg(Ip_Text(Row.Ip)));
        if (Settings.Update && !Row.Configuration_Dir.isEmpty())
            Would.append(QStringLiteral("update the configuration \"%1\"").arg(Row.Configuration));
        Out.State = Would.isEmpty() ? Gateway_State::Already_Right : Gateway_State::Would_Change;
        Out.Text = Would.isEmpty() ? QStringLiteral("now %1").arg(Reported(*Device))
                                   : QStringLiteral("would %1 (now %2)").arg(Would.join(QStringLiteral(", ")), Reported(*Device));
    }
    Out.Finished = QDateTime::currentDateTime();
    return Out;
}

Gateway_Outcome Run::Commission_Gateway(Raw_Ethernet_Port& Port, const Plant_Row& Row, const QList<Dcp::Device_Record>& Found,
                                        const Gateway_Outcome& Before)
{
    Gateway_Outcome Out;
    const auto Finish = [&](Gateway_State State, const QString& Text) {
        Out.State = State;
        Out.Text = Text;
        Out.Finished = QDateTime::currentDateTime();
        return Out;
    };
    const Dcp::Device_Record* Device = Find(Found, Row.Mac);
    if (!Device)
        return Finish(Gateway_State::Not_Found, QStringLiteral("no device with this MAC answered the search"));
    if (const auto Conflict = Conflict_Of(Row, Found))
        return Finish(Gateway_State::Conflict, *Conflict);

    const bool Set_Name = !Name_Right(Row, *Device), Set_Ip = !Ip_Right(Row, *Device);
    if (Set_Name || Set_Ip) {
        Dcp::Client Client(Port);
        if (Set_Name) {
            Out.Sent.append(QStringLiteral("Set name \"%1\" (permanent)").arg(Row.Station_Name));
            // A row read from a list arrives checked; any other is checked by the client.
            auto Answer = Row.Name_Checked ? Client.Set_Name(Row.Mac, *Row.Name_Checked, true)
                                           : Client.Set_Name(Row.Mac, Row.Station_Name, true);
            if (const auto Failed = Set_Outcome(Answer, QStringLiteral("Set name"), Texts(), Out))
                return Finish(Gateway_State::Refused, *Failed);
        }
        if (Set_Ip) {
            Out.Sent.append(QStringLiteral("Set IP %1 (permanent)").arg(Ip_Text(Row.Ip)));
            auto Answer = Row.Ip_Checked ? Client.Set_Ip(Row.Mac, *Row.Ip_Checked, true) : Client.Set_Ip(Row.Mac, Row.Ip, true);
            if (const auto Failed = Set_Outcome(Answer, QStringLiteral("Set IP"), Texts(), Out))
                return Finish(Gateway_State::Refused, *Failed);
        }
        // The check: the device answers for its new name with what was set.
        Dcp::Station_Asker Asker(Port);
        Out.Sent.append(QStringLiteral("Identify \"%1\"").arg(Row.Station_Name));
        const auto Answers = Asker.Identify_By_Name(Row.Station_Name, Settings.Verify_Window, Row.Mac);
        if (!Answers)
            return Finish(Gateway_State::Verification_Failed, Answers.error());
        const Dcp::Device_Record* Now = Find(*Answers, Row.Mac);
        if (!Now) {
            Out.Answered.append(QStringLiteral("Identify: no answer"));
            return Finish(Gateway_State::Verification_Failed,
                          QStringLiteral("the device did not answer an Identify for its new name"));
        }
        Out.Answered.append(QStringLiteral("Identify: %1").arg(Reported(*Now)));
        if (!Name_Right(Row, *Now) || !Ip_Right(Row, *Now))
            return Finish(Gateway_State::Verification_Failed, QStringLiteral("after the Set the device reports %1").arg(Reported(*Now)));
        for (const Dcp::Device_Record& Other : *Answers)
            if (Other.Mac != Row.Mac)
                return Finish(Gateway_State::Verification_Failed, QStringLiteral("%1 answers for the name \"%2\" too")
                                                                      .arg(Dcp::Mac_Text(Other.Mac), Row.Station_Name));
        Out.State = Gateway_State::Done;
        Out.Text = QStringLiteral("named and addressed; the device reports %1").arg(Reported(*Now));
    } else {
        Out.State = Gateway_State::Already_Right;
        Out.Text = QStringLiteral("already %1").arg(Reported(*Device));
    }
    Configuration_Step(Row, Before, Out);
    Out.Finished = QDateTime::currentDateTime();
    return Out;
}

void Run::Configuration_Step(const Plant_Row& Row, const Gateway_Outcome& Before, Gateway_Outcome& Out)
{
    if (Row.Configuration_Dir.isEmpty() || !Steps.Compile)
        return;
    if (!Compiled.contains(Row.Configuration_Dir))
        Compiled.insert(Row.Configuration_Dir, Steps.Compile(Row.Configuration_Dir));
    const auto& Banks = Compiled[Row.Configuration_Dir];
    if (!Banks) {
        Out.State = Gateway_State::Configuration_Refused;
        Out.Text = QStringLiteral("the configuration \"%1\" was not compiled: %2").arg(Row.Configuration, Banks.error());
        return;
    }
    Out.Bank1_Sha256 = File_Sha256(Banks->Bank1_Path);
    Out.Bank2_Sha256 = File_Sha256(Banks->Bank2_Path);
    if (!Settings.Update || !Steps.Update)
        return;
    // The same banks already went to this device in an earlier run.
    if (Before.Updated && Before.Bank1_Sha256 == Out.Bank1_Sha256 && Before.Bank2_Sha256 == Out.Bank2_Sha256
        && Is_Success(Before.State)) {
        Out.Updated = true;
        Out.Text += QStringLiteral("; its configuration was updated before");
        return;
    }
    Out.Sent.append(QStringLiteral("update of \"%1\" to %2").arg(Row.Configuration, Row.Ip.Address.Text()));
    if (const auto Updated = Steps.Update(Row.Configuration_Dir, Row.Ip.Address); !Updated) {
        Out.Answered.append(QStringLiteral("update: %1").arg(Updated.error()));
        Out.State = Gateway_State::Update_Failed;
        Out.Text = QStringLiteral("the update failed: %1").arg(Updated.error());
        return;
    }
    Out.Answered.append(QStringLiteral("update: completed"));
    Out.Updated = true;
    Out.State = Gateway_State::Done;
    Out.Text += QStringLiteral("; configuration updated");
}

Run_Report Run::Execute(const std::atomic_bool& Stop, const QList<int>& Rows, const QList<Gateway_Outcome>& Earlier)
{
    Run_Report Report;
    Report.Started = QDateTime::currentDateTime();
    Report.Outcomes = Earlier.size() == List.Rows.size() ? Earlier : Read_State();
    QList<Gateway_Outcome> Before = Report.Outcomes;
    Counting_Port Port(Wire);
    const auto Finish = [&] {
        Report.Frames_Sent = Port.Frames;
        Report.Set_Frames_Sent = Port.Set_Frames;
        return Report;
    };

    Dcp::Client Client(Port);
    const auto Found = Client.Identify_All(Settings.Identify_Window, [&](double Part) {
        if (Searching)
            Searching(Part);
        return true;
    });
    if (!Found) {
        Report.Failure = Found.error();
        return Finish();
    }
    Report.Devices_Answered = static_cast<int>(Found->size());
    QSet<QByteArray> Listed;
    for (const Plant_Row& R : List.Rows)
        Listed.insert(Mac_Key(R.Mac));
    for (const Dcp::Device_Record& D : *Found)
        if (!Listed.contains(Mac_Key(D.Mac)))
            Report.Not_Listed.append(D);

    QList<int> To_Do = Rows;
    if (To_Do.isEmpty())
        for (int I = 0; I < List.Rows.size(); ++I)
            To_Do.append(I);
    for (const int I : To_Do) {
        if (Stop.load()) {
            Report.Stopped = true;
            break;
        }
        if (Gateway_Started)
            Gateway_Started(I);
        Report.Outcomes[I] = Settings.Dry_Run ? Plan_Gateway(List.Rows[I], *Found)
                                              : Commission_Gateway(Port, List.Rows[I], *Found, Before[I]);
        if (!Settings.Dry_Run && !Settings.State_File.isEmpty())
            if (const auto Failed = Write_State(Report.Outcomes))
                Report.State_Failure = *Failed;
        if (Gateway_Finished)
            Gateway_Finished(I, Report.Outcomes[I]);
    }
    return Finish();
}

QList<Gateway_Outcome> Run::Read_State() const
{
    QList<Gateway_Outcome> Outcomes(List.Rows.size());
    if (Settings.State_File.isEmpty())
        return Outcomes;
    const auto Bytes = Read_Regular_File(Settings.State_File);
    if (!Bytes)
        return Outcomes;
    const QJsonArray Gateways = QJsonDocument::fromJson(*Bytes).object().value(QStringLiteral("gateways")).toArray();
    for (int I = 0; I < List.Rows.size(); ++I) {
        const Plant_Row& Row = List.Rows[I];
        const QJsonObject Listed = Gateway_Json(Row, {});
        for (const QJsonValue& Value : Gateways) {
            const QJsonObject G = Value.toObject();
            // Only what was done for the row as it stands now counts.
            static const char* const Keys[] = {"mac", "name", "ip", "mask", "gateway", "configuration"};
            const bool Same = std::all_of(std::begin(Keys), std::end(Keys), [&](const char* Key) {
                return G.value(QLatin1String(Key)) == Listed.value(QLatin1String(Key));
            });
            if (!Same)
                continue;
            Gateway_Outcome& Out = Outcomes[I];
            Out.State = State_Of_Key(G.value(QStringLiteral("state")).toString()).value_or(Gateway_State::Pending);
            Out.Text = G.value(QStringLiteral("text")).toString();
            Out.Sent = Strings_Of(G.value(QStringLiteral("sent")));
            Out.Answered = Strings_Of(G.value(QStringLiteral("answered")));
            Out.Updated = G.value(QStringLiteral("updated")).toBool();
            Out.Bank1_Sha256 = G.value(QStringLiteral("bank1_sha256")).toString();
            Out.Bank2_Sha256 = G.value(QStringLiteral("bank2_sha256")).toString();
            Out.Finished = QDateTime::fromString(G.value(QStringLiteral("time")).toString(), Qt::ISODate);
            break;
        }
    }
    return Outcomes;
}

std::optional<QString> Run::Write_State(const QList<Gateway_Outcome>& Outcomes) const
{
    QJsonArray Gateways;
    for (int I = 0; I < List.Rows.size(); ++I)
        Gateways.append(Gateway_Json(List.Rows[I], Outcomes.value(I)));
    const QJsonObject Document{{QStringLiteral("list"), List.Path},
                               {QStringLiteral("interface"), Settings.Interface},
                               {QStringLiteral("gateways"), Gateways}};
    if (const auto Written = Write_File_Atomic(Settings.State_File, QJsonDocument(Document).toJson()); !Written)
        return Written.error().Path + QStringLiteral(": ")
             + (Written.error().Refused_Link() ? QStringLiteral("symbolic link, not written through") : Written.error().System_Text);
    return std::nullopt;
}

QJsonObject Report_Json(const Plant_List& List, const Run_Settings& Settings, const Run_Report& Report)
{
    QJsonArray Gateways;
    for (int I = 0; I < List.Rows.size(); ++I)
        Gateways.append(Gateway_Json(List.Rows[I], Report.Outcomes.value(I)));
    QJsonArray Not_Listed;
    for (const Dcp::Device_Record& D : Report.Not_Listed)
        Not_Listed.append(QJsonObject{{QStringLiteral("mac"), Dcp::Mac_Text(D.Mac)},
                                      {QStringLiteral("name"), D.Name ? QJsonValue(*D.Name) : QJsonValue()},
                                      {QStringLiteral("ip"), D.Ip ? QJsonValue(D.Ip->Address.Text()) : QJsonValue()},
                                      {QStringLiteral("gw40610"), D.Is_Gateway()}});
    return QJsonObject{{QStringLiteral("list"), List.Path},
                       {QStringLiteral("interface"), Settings.Interface},
                       {QStringLiteral("dry_run"), Settings.Dry_Run},
                       {QStringLiteral("stopped"), Report.Stopped},
                       {QStringLiteral("devices_answered"), Report.Devices_Answered},
                       {QStringLiteral("frames_sent"), Report.Frames_Sent},
                       {QStringLiteral("gateways"), Gateways},
                       {QStringLiteral("not_listed"), Not_Listed}};
}

QString Outcome_Line(const Plant_Row& Row, const Gateway_Outcome& Outcome)
{
    return QStringLiteral("%1  %2  %3  %4: %5")
        .arg(Dcp::Mac_Text(Row.Mac), Row.Station_Name, Row.Ip.Address.Text(), State_Key(Outcome.State), Outcome.Text);
}

} // namespace Commission
