// Stand-in for the gateway's Ethernet updater: reads Ethernet_Update.xml from
// its own folder, sends every operation's file to the device over UDP and
// ends on its own, with exit code 0 only when everything was sent.

#include "ethernet_update/Update_Parameters.h"
#include "ethernet_update/Update_Transfer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <optional>

namespace {

// How long the window stays up after a successful end, so the user can read it.
constexpr int Default_Linger_Ms = 1500;

class Progress_Window : public QWidget {
public:
    Progress_Window()
    {
        setObjectName(QStringLiteral("Ethernet_Update"));
        setWindowTitle(QStringLiteral("Ethernet Update"));
        setMinimumWidth(520);
        Layout = new QVBoxLayout(this);
        Status = new QLabel(QStringLiteral("Reading Ethernet_Update.xml"), this);
        Status->setObjectName(QStringLiteral("L_Status"));
        Status->setWordWrap(true);
        Layout->addWidget(Status);
    }
    void Show_Plan(const Update_Plan& Plan)
    {
        if (!Plan.Title.isEmpty())
            setWindowTitle(Plan.Title);
        for (int I = 0; I < Plan.Operations.size(); ++I) {
            const Update_Operation& Op = Plan.Operations[I];
            auto* Name = new QLabel(QStringLiteral("%1 (%2 bytes) to %3 port %4, address 0x%5")
                                        .arg(QFileInfo(Op.File_Name).fileName())
                                        .arg(Op.Data.size())
                                        .arg(Op.Device.toString())
                                        .arg(Op.Port)
                                        .arg(Op.Start_Address, 0, 16),
                                    this);
            Name->setToolTip(QDir::toNativeSeparators(Op.File_Name));
            Name->setWordWrap(true);
            auto* Bar = new QProgressBar(this);
            Bar->setObjectName(QStringLiteral("Progress_%1").arg(I + 1));
            Bar->setRange(0, 100);
            Bar->setValue(0);
            Bar->setAccessibleName(Name->text());
            Layout->insertWidget(Layout->count() - 1, Name);
            Layout->insertWidget(Layout->count() - 1, Bar);
            Bars.append(Bar);
        }
        Fit();
    }
    void Set_Progress(int Operation, int Percent)
    {
        if (Operation >= 0 && Operation < Bars.size())
            Bars[Operation]->setValue(Percent);
    }
    void Set_Status(const QString& Text)
    {
        Status->setText(Text);
        Fit();
    }
    // Grows with its texts, so that none is cut, and stays centred where it opened.
    void Fit()
    {
        // move() places the frame, so the centre kept is the frame's too.
        const QPoint Centre = frameGeometry().center();
        adjustSize();
        if (!Placed)
            return;
        QRect Frame = frameGeometry();
        Frame.moveCenter(Centre);
        move(Frame.topLeft());
    }
    // Centred on the screen, where the configurator's dialog stands.
    void Show_Centred()
    {
        adjustSize();
        if (const QScreen* Screen = QGuiApplication::primaryScreen())
            move(Screen->availableGeometry().center() - rect().center());
        Placed = true;
        show();
    }

private:
    QVBoxLayout* Layout;
    QLabel* Status;
    QList<QProgressBar*> Bars;
    bool Placed = false;
};

// The code the program ends with when the user closes its window: a window
// closed before the end leaves the update unfinished, which counts as failed.
int Final_Code = 1;

// A failure stays on screen until the user has read it and closes the window,
// unless the caller asked for a fixed time.
void Finish(int Exit_Code, const QString& Text, Progress_Window& Window, std::optional<int> Linger_Ms)
{
    Window.Set_Status(Text);
    std::fprintf(Exit_Code == 0 ? stdout : stderr, "Ethernet_Update: %s\n", qPrintable(Text));
    std::fflush(nullptr);
    Final_Code = Exit_Code;
    if (Exit_Code != 0 && !Linger_Ms)
        return;
    QTimer::singleShot(Linger_Ms.value_or(Default_Linger_Ms), qApp, [Exit_Code] { QCoreApplication::exit(Exit_Code); });
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication App(argc, argv);
    QCommandLineParser Options;
    Options.setApplicationDescription(QStringLiteral("Sends the files named in Ethernet_Update.xml to the device."));
    Options.addHelpOption();
    const QCommandLineOption Linger(QStringLiteral("linger-ms"),
                                    QStringLiteral("Milliseconds the window stays open after the end (without it: 1500 after "
                                                   "success, until closed after a failure)."),
                                    QStringLiteral("ms"), QString::number(Default_Linger_Ms));
    const QCommandLineOption Timeout(QStringLiteral("reply-timeout-ms"),
                                     QStringLiteral("Milliseconds to wait for an answer before round trips are measured."),
                                     QStringLiteral("ms"), QStringLiteral("300"));
    Options.addOption(Linger);
    Options.addOption(Timeout);
    Options.process(App);
    const std::optional<int> Linger_Ms =
        Options.isSet(Linger) ? std::optional<int>(qBound(0, Options.value(Linger).toInt(), 60000)) : std::nullopt;
    Update_Transfer::Timing Times;
    Times.Reply_Timeout_Ms = qBound(20, Options.value(Timeout).toInt(), 5000);

    Progress_Window Window;
    Window.Show_Centred();

    const QString Parameter_File = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Ethernet_Update.xml"));
    const auto Plan = Read_Update_Plan(Parameter_File);
    if (!Plan) {
        Finish(2, QStringLiteral("Update not started: ") + Plan.error(), Window, Linger_Ms);
        const int Code = QApplication::exec();
        return Code != 0 ? Code : Final_Code;
    }
    Window.Show_Plan(*Plan);
    Window.Set_Status(QStringLiteral("Sending to %1").arg(Plan->Device.toString()));

    auto* Worker_Thread = new QThread;
    auto* Transfer = new Update_Transfer(Times);
    Transfer->moveToThread(Worker_Thread);
    QObject::connect(Transfer, &Update_Transfer::Progress, &Window, &Progress_Window::Set_Progress);
    QObject::connect(Transfer, &Update_Transfer::Step, &Window, [&Window, &Plan](int Operation, const QString& Text) {
        Window.Set_Status(QStringLiteral("Operation %1 of %2: %3").arg(Operation + 1).arg(Plan->Operations.size()).arg(Text));
    });
    QObject::connect(Worker_Thread, &QThread::started, Transfer, [&, Transfer] {
        const auto Sent = Transfer->Run(*Plan);
        QMetaObject::invokeMethod(&Window, [&, Sent] {
            if (Sent)
                Finish(0, QStringLiteral("Update completed"), Window, Linger_Ms);
            else
                Finish(1, QStringLiteral("Update failed: ") + Sent.error(), Window, Linger_Ms);
        });
        Worker_Thread->quit();
    });
    Worker_Thread->start();
    int Code = QApplication::exec();
    Worker_Thread->wait();
    delete Transfer;
    delete Worker_Thread;
    // Closing the window that shows a failure ends the program with that failure's code.
    if (Code == 0)
        Code = Final_Code;
    return Code;
}
