#include "commission/TFCommission.h"

#include "commission/Commission_Texts.h"
#include "commission/Configuration_Steps.h"
#include "commission/Ui_Commission_Record.h"
#include "foundation/Workspace.h"
#include "platform/Clock.h"
#include "platform/Decimal_Separator.h"
#include "platform/Open_File_Dialog.h"
#include "platform/Process_Runner.h"
#include "platform/Prompter.h"
#include "platform/Raw_Ethernet.h"
#include "platform/Save_File_Dialog.h"
#include "widgets/Ui_Build.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

namespace {

namespace Text = Commission_Text;

enum Plant_Column { Plant_Mac, Plant_Name, Plant_Address, Plant_Configuration, Plant_Checks, Plant_State, Plant_Sent, Plant_Answered, Plant_Column_Count };
constexpr int Plant_Column_Slot[Plant_Column_Count] = {Text::Column_Mac,   Text::Column_Name,  Text::Column_Address,
                                           Text::Column_Configuration, Text::Column_Checks, Text::Column_State,
                                           Text::Column_Sent,  Text::Column_Answered};

} // namespace

TFCommission::TFCommission(Workspace& Space_, Platform_Services Services_, QWidget* Parent)
    : QDialog(Parent), Space(Space_), Services(Services_)
{
    setObjectName(QStringLiteral("TFCommission"));
    if (!Services.Separator) {
        Own_Separator = std::make_unique<System_Decimal_Separator>();
        Services.Separator = Own_Separator.get();
    }
    Lay_Out();
    Set_Lang();
    Update_Buttons();
}

TFCommission::~TFCommission() { Stop_And_Wait(); }

void TFCommission::Lay_Out()
{
    resize(1100, 600);
    auto* Page = new QVBoxLayout(this);
    auto* List_Row = new QHBoxLayout;
    L_List = Make_Control<QLabel>(this, QStringLiteral("L_List"));
    E_List = Make_Control<QLineEdit>(this, QStringLiteral("E_List"));
    E_List->setReadOnly(true);
    L_List->setBuddy(E_List);
    Btn_Open_List = Make_Control<QPushButton>(this, QStringLiteral("Btn_Open_List"));
    List_Row->addWidget(L_List);
    List_Row->addWidget(E_List, 1);
    List_Row->addWidget(Btn_Open_List);
    Page->addLayout(List_Row);

    auto* Interface_Row = new QHBoxLayout;
    L_Interface = Make_Control<QLabel>(this, QStringLiteral("L_Interface"));
    CB_Interface = Make_Control<QComboBox>(this, QStringLiteral("CB_Interface"));
    // The row gives the list its width: the interfaces found (which come and go
    // on the machine) never move the controls beside it.
    CB_Interface->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    CB_Interface->setMinimumContentsLength(24);
    L_Interface->setBuddy(CB_Interface);
    CB_Update = Make_Control<QCheckBox>(this, QStringLiteral("CB_Update"));
    CB_Update->setChecked(false);
    Interface_Row->addWidget(L_Interface);
    Interface_Row->addWidget(CB_Interface, 1);
    Interface_Row->addWidget(CB_Update);
    Page->addLayout(Interface_Row);

    TW_Gateways = Make_Control<QTableWidget>(this, QStringLiteral("TW_Gateways"));
    TW_Gateways->setColumnCount(Plant_Column_Count);
    TW_Gateways->setSelectionBehavior(QAbstractItemView::SelectRows);
    TW_Gateways->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TW_Gateways->verticalHeader()->hide();
    TW_Gateways->horizontalHeader()->setStretchLastSection(true);
    TW_Gateways->setWordWrap(false);
    Page->addWidget(TW_Gateways, 1);

    PB_Run = Make_Control<QProgressBar>(this, QStringLiteral("PB_Run"));
    PB_Run->setRange(0, 1);
    PB_Run->setValue(0);
    Page->addWidget(PB_Run);
    L_Status = Make_Control<QLabel>(this, QStringLiteral("L_Status"));
    L_Status->setWordWrap(true);
    L_Status->setTextFormat(Qt::PlainText);
    L_Status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Page->addWidget(L_Status);

    auto* Buttons = new QHBoxLayout;
    Btn_Start = Make_Control<QPushButton>(this, QStringLiteral("Btn_Start"));
    Btn_Cancel = Make_Control<QPushButton>(this, QStringLiteral("Btn_Cancel"));
    Btn_Retry = Make_Control<QPushButton>(this, QStringLiteral("Btn_Retry"));
    Btn_Record = Make_Control<QPushButton>(this, QStringLiteral("Btn_Record"));
    Btn_Close = Make_Control<QPushButton>(this, QStringLiteral("Btn_Close"));
    Buttons->addWidget(Btn_Start);
    Buttons->addWidget(Btn_Cancel);
    Buttons->addWidget(Btn_Retry);
    Buttons->addStretch(1);
    Buttons->addWidget(Btn_Record);
    Buttons->addWidget(Btn_Close);
    Page->addLayout(Buttons);
    for (QPushButton* Button : {Btn_Open_List, Btn_Start, Btn_Cancel, Btn_Retry, Btn_Record, Btn_Close})
        Button->setAutoDefault(false);

    connect(Btn_Open_List, &QPushButton::clicked, this, &TFCommission::Ask_And_Open_List);
    connect(Btn_Start, &QPushButton::clicked, this, &TFCommission::Start);
    connect(Btn_Cancel, &QPushButton::clicked, this, &TFCommission::Cancel);
    connect(Btn_Retry, &QPushButton::clicked, this, &TFCommission::Retry_Failed);
    connect(Btn_Record, &QPushButton::clicked, this, &TFCommission::Write_Record);
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);
}

void TFCommission::Set_Lang()
{
    setWindowTitle(Space.Str(Text::Title));
    L_List->setText(Space.Str(Text::List_Label));
    Btn_Open_List->setText(Space.Str(Text::Open_List_Button));
    L_Interface->setText(Space.Str(Text::Interface_Label));
    CB_Update->setText(Space.Str(Text::Update_Box));
    Btn_Start->setText(Space.Str(Text::Start_Button));
    Btn_Cancel->setText(Space.Str(Text::Cancel_Button));
    Btn_Retry->setText(Space.Str(Text::Retry_Button));
    Btn_Record->setText(Space.Str(Text::Record_Button));
    Btn_Close->setText(Space.Str(Text::Close_Button));
    QStringList Headers;
    for (int Slot : Plant_Column_Slot)
        Headers.append(Space.Str(Slot));
    TW_Gateways->setHorizontalHeaderLabels(Headers);
    TW_Gateways->setAccessibleName(Space.Str(Text::Title));
    PB_Run->setAccessibleName(Space.Str(Text::Column_State));
    L_Status->setAccessibleName(Space.Str(Text::Status_Name));
    if (List)
        Fill_Table();
    else
        for (int Column = 0; Column + 1 < Plant_Column_Count; ++Column)
            TW_Gateways->resizeColumnToContents(Column);
}

int TFCommission::Execute() { return exec(); }

void TFCommission::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (!Running())
        Fill_Interfaces();
}

void TFCommission::Fill_Interfaces()
{
    const QString Current = CB_Interface->currentData().toString();
    CB_Interface->clear();
    if (!Services.Ethernet)
        return;
    const auto All = Services.Ethernet->Interfaces();
    if (!All) {
        L_Status->setText(Space.Str(Text::Interface_Unusable).arg(All.error().Text));
        return;
    }
    for (const Ethernet_Interface& I : *All)
        CB_Interface->addItem(I.Description.isEmpty() ? I.Name : I.Name + QStringLiteral(" - ") + I.Description, I.Name);
    const int Last = CB_Interface->findData(Current.isEmpty() ? Space.Last_Interface : Current);
    if (Last >= 0)
        CB_Interface->setCurrentIndex(Last);
}

void TFCommission::Ask_And_Open_List()
{
    if (!Services.Open_Dialog)
        return;
    const QString Folder = List ? QFileInfo(List->Path).absolutePath() : Space.Projects_Dir;
    if (const auto Path = Services.Open_Dialog->Ask_Open_Path({Folder, Space.Str(Text::Csv_Filter), QStringLiteral("*.csv")}))
        Open_List(*Path);
}

bool TFCommission::Open_List(const QString& Path)
{
    if (Running())
        return false;
    const auto Read = Commission::Read_Plant_List_File(Path, Space.Projects_Dir,
                                                       Commission::Checked_Configurations(Space, *Services.Separator));
    if (!Read) {
        Services.Prompts->Error(Space.Str(Text::Open_Failed).arg(Read.error()));
        return false;
    }
    List = *Read;
    Shown = QList<Commission::Gateway_Outcome>(List->Rows.size());
    Last_Report.reset();
    E_List->setText(QDir::toNativeSeparators(List->Path));
    PB_Run->setRange(0, std::max<qsizetype>(1, List->Rows.size()));
    PB_Run->setValue(0);
    Fill_Table();
    if (!List->Problems.isEmpty()) {
        QStringList Lines{Space.Str(Text::List_Problems).arg(List->Problems.size())};
        // The problems of no row (the header, a quote never closed) are shown here.
        for (const Commission::List_Problem& P : List->Problems)
            if (std::none_of(List->Rows.begin(), List->Rows.end(), [&](const auto& R) { return R.Line == P.Line; }))
                Lines.append(Commission::Problem_Line(QFileInfo(List->Path).fileName(), P));
        L_Status->setText(Lines.join(QLatin1Char('\n')));
    } else {
        L_Status->clear();
    }
    Update_Buttons();
    return true;
}

void TFCommission::Fill_Table()
{
    TW_Gateways->setRowCount(List ? static_cast<int>(List->Rows.size()) : 0);
    for (int Row = 0; List && Row < List->Rows.size(); ++Row)
        Show_Row(Row);
    for (int Column = 0; Column + 1 < Plant_Column_Count; ++Column)
        TW_Gateways->resizeColumnToContents(Column);
}

void TFCommission::Show_Row(int Row)
{
    const Commission::Plant_Row& R = List->Rows[Row];
    const Commission::Gateway_Outcome& Out = Shown[Row];
    QStringList Problems;
    for (const Commission::List_Problem& P : List->Problems_Of(R.Line))
        Problems.append(QStringLiteral("%1:%2: %3").arg(P.Line).arg(P.Column).arg(P.Text));
    const QString State = Row == Running_Row ? Space.Str(Text::Running) : Space.Str(Text::State_Slot(Out.State));
    // What the device answered; where it was not asked (not found, a conflict), why not.
    QStringList Answered = Out.Answered;
    if (Out.Sent.isEmpty() && !Out.Text.isEmpty())
        Answered.append(Out.Text);
    const QString Texts[Plant_Column_Count] = {
        Dcp::Mac_Text(R.Mac),
        R.Station_Name,
        R.Station_Name.isEmpty() && R.Ip.Address.Value() == 0 ? QString() : R.Ip.Address.Text(),
        R.Configuration,
        Problems.isEmpty() ? Space.Str(Text::List_Ok) : Problems.join(QStringLiteral("; ")),
        State,
        Out.Sent.join(QStringLiteral("; ")),
        Answered.join(QStringLiteral("; ")),
    };
    for (int Column = 0; Column < Plant_Column_Count; ++Column) {
        auto* Item = TW_Gateways->item(Row, Column);
        if (!Item) {
            Item = new QTableWidgetItem;
            TW_Gateways->setItem(Row, Column, Item);
        }
        Item->setText(Texts[Column]);
        // The state's tip is the whole story of the gateway.
        Item->setToolTip(Column == Plant_State && !Out.Text.isEmpty() ? State + QStringLiteral(": ") + Out.Text : Texts[Column]);
        const bool Bad = Column == Plant_Checks ? !Problems.isEmpty() : Column == Plant_State && Commission::Is_Failure(Out.State);
        Item->setForeground(Bad ? QBrush(Qt::darkRed) : QBrush());
    }
}

void TFCommission::Update_Buttons()
{
    const bool Busy = Running();
    const bool Usable = List && List->Problems.isEmpty() && !List->Rows.isEmpty();
    Btn_Open_List->setEnabled(!Busy);
    CB_Interface->setEnabled(!Busy);
    CB_Update->setEnabled(!Busy);
    Btn_Start->setEnabled(!Busy && Usable);
    Btn_Cancel->setEnabled(Busy);
    Btn_Retry->setEnabled(!Busy && Usable && std::any_of(Shown.begin(), Shown.end(), [](const auto& O) { return Commission::Is_Failure(O.State); }));
    Btn_Record->setEnabled(!Busy && Last_Report.has_value());
}

void TFCommission::Start()
{
    if (!List) {
        Services.Prompts->Error(Space.Str(Text::No_List));
        return;
    }
    Run_Rows({});
}

void TFCommission::Retry_Failed()
{
    QList<int> Rows;
    for (int I = 0; I < Shown.size(); ++I)
        if (Commission::Is_Failure(Shown[I].State))
            Rows.append(I);
    if (!Rows.isEmpty())
        Run_Rows(Rows);
}

void TFCommission::Run_Rows(const QList<int>& Rows)
{
    if (Running() || !List || !List->Problems.isEmpty())
        return;
    const QString Interface = CB_Interface->currentData().toString();
    if (!Services.Ethernet || Interface.isEmpty()) {
        Services.Prompts->Error(Space.Str(Text::No_Interface));
        return;
    }
    auto Opened = Services.Ethernet->Open(Interface);
    if (!Opened) {
        Services.Prompts->Error(Space.Str(Text::Interface_Unusable).arg(Opened.error().Text));
        return;
    }
    Space.Last_Interface = Interface;
    std::shared_ptr<Raw_Ethernet_Port> Port(std::move(*Opened));

    Commission::Run_Settings Settings;
    Settings.Interface = Interface;
    Settings.Update = CB_Update->isChecked();
    Settings.Identify_Window = Search_Window;
    Settings.State_File = Commission::State_File_Of(List->Path);
    Settings.Texts = &Space.Lang_Strings;
    Last_Settings = Settings;
    Rows_In_Run = Rows.isEmpty() ? static_cast<int>(List->Rows.size()) : static_cast<int>(Rows.size());
    Done_In_Run = 0;
    PB_Run->setValue(0);
    Stop = false;
    L_Status->setText(Space.Str(Text::Searching));
    // Busy while the one search runs; then a step per gateway.
    PB_Run->setRange(0, 0);

    // The run owns copies of what it reads, so the window stays free to repaint and to be used.
    const Commission::Plant_List Plant = *List;
    const Workspace Config_Space = Space;
    const QList<Commission::Gateway_Outcome> Earlier = Shown;
    Decimal_Separator* Separator = Services.Separator;
    Worker = QThread::create([this, Plant, Config_Space, Earlier, Separator, Settings, Rows, Port] {
        Qt_Process_Runner Runner;
        System_Clock Time;
        Commission::Run Plant_Run(Plant, *Port, Settings,
                                  Commission::Real_Configuration_Steps(Config_Space, *Separator, Runner, Time));
        Plant_Run.Gateway_Started = [this](int Row) {
            QMetaObject::invokeMethod(this, [this, Row] { Gateway_Started(Row); }, Qt::QueuedConnection);
        };
        Plant_Run.Gateway_Finished = [this](int Row, const Commission::Gateway_Outcome& Outcome) {
            QMetaObject::invokeMethod(this, [this, Row, Outcome] { Gateway_Finished(Row, Outcome); }, Qt::QueuedConnection);
        };
        const Commission::Run_Report Report = Plant_Run.Execute(Stop, Rows, Earlier);
        QMetaObject::invokeMethod(this, [this, Report] { Run_Ended(Report); }, Qt::QueuedConnection);
    });
    Update_Buttons();
    Worker->start();
    Update_Buttons();
}

void TFCommission::Gateway_Started(int Row)
{
    if (PB_Run->maximum() == 0)
        PB_Run->setRange(0, std::max(1, Rows_In_Run));
    Running_Row = Row;
    Show_Row(Row);
    TW_Gateways->scrollToItem(TW_Gateways->item(Row, 0));
    if (!Stop)
        Show_Progress();
}

void TFCommission::Gateway_Finished(int Row, const Commission::Gateway_Outcome& Outcome)
{
    Running_Row = -1;
    Shown[Row] = Outcome;
    ++Done_In_Run;
    PB_Run->setValue(Done_In_Run);
    Show_Row(Row);
    if (!Stop)
        Show_Progress();
}

void TFCommission::Show_Progress()
{
    const auto Good = std::count_if(Shown.begin(), Shown.end(), [](const auto& O) { return Commission::Is_Success(O.State); });
    const auto Bad = std::count_if(Shown.begin(), Shown.end(), [](const auto& O) { return Commission::Is_Failure(O.State); });
    L_Status->setText(Space.Str(Text::Progress).arg(Done_In_Run).arg(Rows_In_Run).arg(Good).arg(Bad));
}

void TFCommission::Cancel()
{
    if (!Running())
        return;
    Stop = true;
    L_Status->setText(Space.Str(Text::Stopping));
}

void TFCommission::Run_Ended(const Commission::Run_Report& Report)
{
    if (Worker) {
        Worker->wait();
        delete Worker;
        Worker = nullptr;
    }
    Running_Row = -1;
    Shown = Report.Outcomes;
    if (PB_Run->maximum() == 0)
        PB_Run->setRange(0, std::max(1, Rows_In_Run));
    if (List)
        for (int Row = 0; Row < List->Rows.size(); ++Row)
            Show_Row(Row);
    for (const int Column : {Plant_State, Plant_Sent})
        TW_Gateways->resizeColumnToContents(Column);
    // What was sent may be long: the column leaves room for the answers, the tip holds it whole.
    constexpr int Sent_Width = 260;
    TW_Gateways->setColumnWidth(Plant_Sent, std::min(TW_Gateways->columnWidth(Plant_Sent), Sent_Width));
    QStringList Lines;
    const auto Good = std::count_if(Shown.begin(), Shown.end(), [](const auto& O) { return Commission::Is_Success(O.State); });
    if (!Report.Failure.isEmpty())
        Lines.append(Space.Str(Text::Run_Failed).arg(Report.Failure));
    else if (Report.Devices_Answered == 0)
        Lines.append(Space.Str(Text::No_Device).arg(Last_Settings.Interface));
    else if (Report.Stopped)
        Lines.append(Space.Str(Text::Stopped));
    else
        Lines.append(Space.Str(Text::Finished).arg(Good).arg(Shown.size()));
    if (!Report.Not_Listed.isEmpty())
        Lines.append(Space.Str(Text::Not_Listed).arg(Report.Not_Listed.size()));
    if (!Report.State_Failure.isEmpty())
        Lines.append(Space.Str(Text::State_File_Failed).arg(Report.State_Failure));
    L_Status->setText(Lines.join(QLatin1Char('\n')));
    if (Report.Failure.isEmpty())
        Last_Report = Report;
    Update_Buttons();
}

void TFCommission::Write_Record()
{
    if (!List || !Last_Report || !Services.Save_Dialog)
        return;
    const QFileInfo Plant(List->Path);
    const auto Path = Services.Save_Dialog->Ask_Save_Path(
        {Plant.absolutePath(), Plant.completeBaseName() + QStringLiteral("-record.pdf"), Space.Str(Text::Record_Filter),
         QStringLiteral("*.pdf")});
    if (!Path)
        return;
    const QString Target = QFileInfo(*Path).suffix().isEmpty() ? *Path + QStringLiteral(".pdf") : *Path;
    if (const auto Written = Commission::Write_Record_Pdf(Commission::Make_Record(*List, Last_Settings, *Last_Report), Target,
                                                          Space);
        !Written) {
        Services.Prompts->Error(Space.Str(Text::Record_Failed).arg(Written.error()));
        return;
    }
    Services.Prompts->Information(Space.Str(Text::Record_Written).arg(QDir::toNativeSeparators(Target)));
}

void TFCommission::Stop_And_Wait()
{
    if (!Worker)
        return;
    // Never between a Set and its check: the run ends after the current gateway.
    Stop = true;
    Worker->wait();
    delete Worker;
    Worker = nullptr;
}

void TFCommission::closeEvent(QCloseEvent* Event)
{
    if (Running()) {
        Cancel();
        Event->ignore();
        return;
    }
    QDialog::closeEvent(Event);
}

void TFCommission::reject()
{
    // Closing while a run goes on asks it to stop; the window closes when it has.
    if (Running()) {
        Cancel();
        return;
    }
    QDialog::reject();
}
