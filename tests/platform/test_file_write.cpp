// Every file the program writes, tried on a disk that runs full and through
// symbolic links: the save fails with the system's reason or a refusal that
// names the file, the previous file stays byte for byte, nothing is left over.
#include "editors/List_Files.h"
#include "project/Par_Gen_File.h"
#include "editors/TFIEC61850_Variables.h"
#include "editors/TFParGen.h"
#include "editors/TFTLS_Server_Known_Cert.h"
#include "editors/Variables_Csv.h"
#include "gsdml/Profinet_XML.h"
#include "gsdml/TFProfinetFileName.h"
#include "image/Configuration_Image.h"
#include "platform/File_Write.h"
#include "platform/Platform_Services.h"
#include "platform/Save_File_Dialog.h"
#include "platform/Xml_File.h"
#include "protocol/Update_Protocol.h"
#include "review/Ui_Report_Run.h"
#include "foundation/Workspace.h"
#include "support/File_Limit.h"
#include "support/Fixed_Separator.h"
#include "support/Program_Folder.h"
#include "support/Scripted_Prompter.h"
#include "support/Test_Support.h"
#include "update/Update_Parameter_File.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QNetworkDatagram>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

using Test_Support::Find;
using Test_Support::Read_File;
using Test_Support::Write_File;

namespace {

class Fixed_Save_Dialog : public Save_File_Dialog {
public:
    std::optional<QString> Ask_Save_Path(const Save_File_Request&) override { return Answer; }
    std::optional<QString> Answer;
};

// Run a second time inside a user and mount namespace of its own (see
// full_disk_tmpfs.sh), the tests make a real small file system run full: a
// tmpfs on the fixture's folder, filled to its last byte. Elsewhere a
// file-size limit stands in for it.
bool Tmpfs_Wanted() { return qEnvironmentVariableIsSet("SW_FULL_DISK_TMPFS"); }

struct Small_Disk {
    QString Path;
    bool Mounted = false;
    explicit Small_Disk(const QString& Path_) : Path(Path_)
    {
#ifndef Q_OS_WIN
        if (Tmpfs_Wanted() && ::mount("tmpfs", Path.toLocal8Bit().constData(), "tmpfs", 0, "size=256k,mode=0700") != 0)
            qFatal("cannot mount a tmpfs on %s: %s", qPrintable(Path), std::strerror(errno));
        Mounted = Tmpfs_Wanted();
#endif
    }
    ~Small_Disk()
    {
#ifndef Q_OS_WIN
        if (Mounted)
            ::umount2(Path.toLocal8Bit().constData(), MNT_DETACH);
#endif
    }
    Small_Disk(const Small_Disk&) = delete;
    Small_Disk& operator=(const Small_Disk&) = delete;

    // Takes every free byte, so the next write of anyone fails.
    void Fill() const
    {
#ifndef Q_OS_WIN
        const int File = ::open((Path + "/filler").toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(File >= 0);
        const QByteArray Block(4096, 'f');
        while (::write(File, Block.constData(), Block.size()) > 0) {
        }
        QCOMPARE(errno, ENOSPC);
        const char Byte = 'f';
        while (::write(File, &Byte, 1) > 0) {
        }
        ::close(File);
#endif
    }
    // The system's text for the failure this disk gives.
    QString Failure_Text() const { return QString::fromLocal8Bit(std::strerror(Mounted ? ENOSPC : EFBIG)); }
};

// While it lives, every write into the disk fails: the tmpfs is filled, or
// the process may write no further than a few bytes into any file.
class Full {
public:
    explicit Full(const Small_Disk& Disk)
    {
        if (Disk.Mounted)
            Disk.Fill();
#ifndef Q_OS_WIN
        else
            Limit.emplace(16);
#endif
    }

#ifndef Q_OS_WIN
private:
    std::optional<File_Size_Limit> Limit;
#endif
};

const QString Gsdml_Name = QStringLiteral("GSDML-V2.31-Korvex-GW40610-20310109.xml");

// A program folder with the configuration "Plant" active; every message goes
// to the scripted prompter.
struct Fixture {
    QTemporaryDir Dir;
    Small_Disk Disk{Dir.path()};
    QString Exe_Dir = Dir.path() + "/prog";
    Workspace Space{Exe_Dir};
    Scripted_Prompter Prompts;
    Fixed_Separator Separator{QStringLiteral(".")};

    Fixture()
    {
        QDir().mkpath(Exe_Dir + "/PROJECTS/Plant/bin");
        QDir().mkpath(Exe_Dir + "/MASTER");
        Space.Lang_Strings.Create_Default_Strings();
        Space.Set_Identity();
        Space.Activate_Project(QStringLiteral("Plant"));
    }
    QString Bin(const QString& Name) const { return Space.Project_Dir + "/bin/" + Name; }

    // Every file below the temporary folder with its bytes.
    std::map<QString, QByteArray> Snapshot() const
    {
        std::map<QString, QByteArray> Files;
        QDirIterator It(Dir.path(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (It.hasNext()) {
            const QString Path = It.next();
            Files[Path] = QFileInfo(Path).isSymLink() ? QByteArray("link") : Read_File(Path);
        }
        return Files;
    }

    template <class Dialog>
    void Confirm(Dialog& Window)
    {
        Window.FormShow();
        Window.show();
        QTest::mouseClick(Find<QPushButton>(&Window, "Btn_OK"), Qt::LeftButton);
    }
};

// One save as the user starts it; returns the text the user is shown.
struct Writer {
    QStringList Files;                      // the files the save replaces, planted before
    std::function<void(Fixture&)> Plant;    // writes valid previous versions of Files
    std::function<QString(Fixture&)> Save;
};

QString Paths(const Fixture& F, const QString& Name)
{
    if (Name == "Tavorix.xml" || Name == "Ethernet_Update.xml")
        return F.Exe_Dir + "/" + Name;
    if (Name.startsWith("bank"))
        return F.Space.Project_Dir + "/bin/" + Name;
    return F.Space.Project_Dir + "/" + Name;
}

const std::map<QString, Writer>& Writers()
{
    static const std::map<QString, Writer> Table = {
        {"settings file",
         {{"Tavorix.xml"},
          [](Fixture& F) { Write_File(F.Space.Settings_File(), "<Conf_Settings/>"); },
          [](Fixture& F) {
              // Closing the main window saves the settings.
              Program_Folder Main;
              Main.Space = Workspace(F.Exe_Dir);
              Main.Start();
              Main.Window->close();
              return Main.Prompts.Texts().join("|");
          }}},
        {"general parameters",
         {{"ParGen.xml"},
          [](Fixture& F) { QVERIFY(Par_Gen::Save(F.Space.File_ParGen, Par_Gen::Defaults())); },
          [](Fixture& F) {
              TFParGen Dialog(F.Space, F.Prompts);
              F.Confirm(Dialog);
              return F.Prompts.Texts().join("|");
          }}},
        {"IEC 61850 variables",
         {{"IEC61850_Variables.xml"},
          [](Fixture& F) {
              TFIEC61850_Variables Empty(F.Space, F.Prompts, &F.Separator);
              QVERIFY(IEC61850_Variables::Save(F.Space.File_IEC61850_Variables, Empty.ACG_Model()));
          },
          [](Fixture& F) {
              TFIEC61850_Variables Dialog(F.Space, F.Prompts, &F.Separator);
              F.Confirm(Dialog);
              return F.Prompts.Texts().join("|");
          }}},
        {"TLS known certificates",
         {{"TLS_Known_Cert.xml"},
          [](Fixture& F) {
              TFTLS_Server_Known_Cert Empty(F.Space, F.Prompts);
              QVERIFY(TLS_Known_Cert::Save(F.Space.File_TLS_Known_Cert, Empty.ASG_Model()));
          },
          [](Fixture& F) {
              TFTLS_Server_Known_Cert Dialog(F.Space, F.Prompts);
              F.Confirm(Dialog);
              return F.Prompts.Texts().join("|");
          }}},
        {"bank files",
         {{"bank1.bin", "bank2.bin"},
          [](Fixture& F) {
              Write_File(F.Bin("bank1.bin"), "previous bank 1");
              Write_File(F.Bin("bank2.bin"), "previous bank 2");
          },
          [](Fixture& F) {
              Configuration_Image Image(F.Space, &F.Separator);
              const auto Compiled = Compile_And_Save_Banks(Image, F.Space);
              return Compiled ? QString() : Compiled.error().Text;
          }}},
        {"GSDML file",
         {{Gsdml_Name},
          [](Fixture& F) { Write_File(F.Space.Project_Dir + "/" + Gsdml_Name, "<previous/>"); },
          [](Fixture& F) {
              Fixed_Save_Dialog Chooser;
              Chooser.Answer = F.Space.Project_Dir + "/" + Gsdml_Name;
              F.Prompts.Answers = {Prompt_Answer::Yes};  // overwrite
              TFProfinetFileName::Save_Profinet_XML(F.Space, F.Prompts, Chooser, Gsdml_Name);
              return F.Prompts.Texts().mid(1).join("|");
          }}},
        {"variables exported as CSV",
         {{"IEC61850_Variables.csv"},
          [](Fixture& F) { Write_File(F.Space.Project_Dir + "/IEC61850_Variables.csv", "previous export"); },
          [](Fixture& F) {
              Fixed_Save_Dialog Chooser;
              Chooser.Answer = F.Space.Project_Dir + "/IEC61850_Variables.csv";
              F.Prompts.Answers = {Prompt_Answer::Yes};  // overwrite
              Variables_Csv::Export_File({}, F.Space.Project_Dir, Chooser, F.Prompts, F.Space.Lang_Strings);
              return F.Prompts.Texts().mid(1).join("|");
          }}},
        {"configuration report",
         {{"Plant-report.pdf"},
          [](Fixture& F) { Write_File(F.Space.Project_Dir + "/Plant-report.pdf", "%PDF-1.4 previous report"); },
          [](Fixture& F) {
              // From the main window's button; the command runs the same writer.
              Fixed_Save_Dialog Chooser;
              Chooser.Answer = F.Space.Project_Dir + "/Plant-report.pdf";
              Platform_Services Services;
              Services.Prompts = &F.Prompts;
              Services.Save_Dialog = &Chooser;
              Services.Separator = &F.Separator;
              Review::Ask_And_Write_Report(F.Space, Services);
              return F.Prompts.Texts().join("|");
          }}},
        {"update parameter file",
         {{"Ethernet_Update.xml"},
          [](Fixture& F) { Write_File(Update_Parameter_File(F.Exe_Dir), "<previous/>"); },
          [](Fixture& F) {
              // The dialog lets the error reach the general error handler.
              Xml_File Doc;
              try {
                  Write_Update_Parameters(Doc, {"127.0.0.1", 0, true}, {F.Space.Master_Dir, F.Space.Project_Dir},
                                          F.Exe_Dir);
              } catch (const Update_File_Error& Error) {
                  return F.Space.Write_Failure_Text(Error.Failure);
              }
              return QString();
          }}},
    };
    return Table;
}

// Sends one image to the simulator on 127.0.0.1 and waits until it says it has it.
bool Send_Image(QProcess& Simulator, quint16 Port, quint32 Address, const QByteArray& Image)
{
    using namespace Update_Protocol;
    QUdpSocket Socket;
    Socket.bind(QHostAddress::LocalHost, 0);
    quint32 Sequence = 0;
    auto Ask = [&](Command C, quint32 At, const QByteArray& Payload) {
        Packet P;
        P.Command = static_cast<quint8>(C);
        P.Session = 7;
        P.Sequence = Sequence++;
        P.Address = At;
        P.Payload = Payload;
        Socket.writeDatagram(Encode(P), QHostAddress::LocalHost, Port);
        if (!Socket.waitForReadyRead(5000))
            return false;
        const auto Reply = Decode(Socket.receiveDatagram().data());
        return Reply && Reply->State == Status::Ok;
    };
    if (!Ask(Command::Begin, Address, Begin_Payload(Image.size(), 2, 0, false)))
        return false;
    for (int At = 0; At < Image.size(); At += Block_Size)
        if (!Ask(Command::Write, Address + At, Image.mid(At, Block_Size)))
            return false;
    if (!Ask(Command::End, Address, End_Payload(Image.size(), Crc32(Image))))
        return false;
    QElapsedTimer Took;
    Took.start();
    while (!Simulator.canReadLine() && Took.elapsed() < 5000)
        Simulator.waitForReadyRead(100);
    return Simulator.readLine().startsWith("STORED");
}

// Starts the simulator, storing into the full Disk.
bool Start_Simulator(QProcess& Simulator, const Small_Disk& Disk, quint16& Port)
{
    Simulator.setProgram(SW_GATEWAY_SIMULATOR);
    Simulator.setArguments({"--port", "0", "--store-dir", Disk.Path, "--idle-ms", "5000", "--max-ms", "30000"});
    {
        // A file-size limit and the ignored signal are inherited by the child.
        Full Disk_Full(Disk);
        Simulator.start();
        if (!Simulator.waitForStarted(5000))
            return false;
    }
    if (!Simulator.waitForReadyRead(10000))
        return false;
    const QByteArray Line = Simulator.readLine().trimmed();
    if (!Line.startsWith("READY "))
        return false;
    Port = static_cast<quint16>(Line.mid(6).toUInt());
    return Port != 0;
}

} // namespace

class Test_File_Write : public QObject {
    Q_OBJECT

private slots:
    void Full_Disk_Keeps_Previous_File_data();
    void Full_Disk_Keeps_Previous_File();
    void Simulator_Image_On_Full_Disk();
    void Link_Is_Not_Written_Through_data();
    void Link_Is_Not_Written_Through();
    void Linked_Bin_Folder_Refused();
    void Linked_Program_Folders_Keep_Working();
    void Two_Files_Replace_Together();
    void Failed_Second_Rename_Restores_The_First_data();
    void Failed_Second_Rename_Restores_The_First();
};

void Test_File_Write::Full_Disk_Keeps_Previous_File_data()
{
    QTest::addColumn<QString>("Writer");
    for (const auto& [Name, W] : Writers())
        QTest::newRow(qPrintable(Name)) << Name;
}

void Test_File_Write::Full_Disk_Keeps_Previous_File()
{
#ifdef Q_OS_WIN
    QSKIP("a full disk is a small tmpfs or a file-size limit (mount, setrlimit), which Windows has not");
#else
    QFETCH(QString, Writer);
    const ::Writer& W = Writers().at(Writer);
    Fixture F;
    W.Plant(F);
    QString Shown;
    std::map<QString, QByteArray> Before;
    {
        // No room, or far less than any of these files and the write
        // buffer: the new file is cut short while still held in memory.
        Full Disk_Full(F.Disk);
        Before = F.Snapshot();
        Shown = W.Save(F);
    }
    QVERIFY2(Shown.contains(F.Disk.Failure_Text()), qPrintable(Shown));
    for (const QString& File : W.Files)
        QVERIFY2(Shown.contains(QDir::toNativeSeparators(Paths(F, File))) || Writer == "bank files",
                 qPrintable(Shown));
    if (Writer == "bank files")
        QVERIFY2(Shown.startsWith(F.Space.Str(1107)), qPrintable(Shown));
    // The previous files byte for byte, and no temporary file beside them.
    QVERIFY(F.Snapshot() == Before);
#endif
}

void Test_File_Write::Simulator_Image_On_Full_Disk()
{
#ifdef Q_OS_WIN
    QSKIP("a full disk is a small tmpfs or a file-size limit (mount, setrlimit), which Windows has not");
#else
    QTemporaryDir Dir;
    Small_Disk Disk(Dir.path());
    const QString Stored = Dir.filePath("0x00080000.bin");
    Write_File(Stored, "previous image");
    QProcess Simulator;
    quint16 Port = 0;
    QVERIFY(Start_Simulator(Simulator, Disk, Port));
    QByteArray Image(4096, '\0');
    for (int I = 0; I < Image.size(); ++I)
        Image[I] = static_cast<char>(I * 7);
    QVERIFY(Send_Image(Simulator, Port, 0x80000, Image));
    Simulator.kill();
    Simulator.waitForFinished(5000);
    const QString Errors = QString::fromLocal8Bit(Simulator.readAllStandardError());
    QVERIFY2(Errors.contains("cannot store 0x00080000: " + Disk.Failure_Text()), qPrintable(Errors));
    QCOMPARE(Read_File(Stored), QByteArray("previous image"));
    QStringList Left = QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden);
    Left.removeAll("filler");
    QCOMPARE(Left, QStringList{"0x00080000.bin"});
#endif
}

void Test_File_Write::Link_Is_Not_Written_Through_data()
{
    QTest::addColumn<QString>("Writer");
    QTest::addColumn<QString>("Linked");
    for (const auto& [Name, W] : Writers())
        for (const QString& File : W.Files)
            QTest::newRow(qPrintable(Name + ": " + File)) << Name << File;
}

void Test_File_Write::Link_Is_Not_Written_Through()
{
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes a shortcut (.lnk) on Windows, not a link that the file system follows");
#else
    QFETCH(QString, Writer);
    QFETCH(QString, Linked);
    const ::Writer& W = Writers().at(Writer);
    Fixture F;
    W.Plant(F);
    // The file is moved outside the program folder and a link put in its place.
    QTemporaryDir Outside;
    const QString Target = Outside.filePath("target");
    const QString Path = Paths(F, Linked);
    const QByteArray Content = Read_File(Path);
    Write_File(Target, Content);
    QVERIFY(QFile::remove(Path));
    QVERIFY(QFile::link(Target, Path));
    const auto Before = F.Snapshot();
    const QString Shown = W.Save(F);
    QVERIFY2(Shown.contains(F.Space.Str(1108).arg(QDir::toNativeSeparators(Path))), qPrintable(Shown));
    QCOMPARE(Read_File(Target), Content);
    QVERIFY(QFileInfo(Path).isSymLink());
    QVERIFY(F.Snapshot() == Before);
#endif
}

void Test_File_Write::Linked_Bin_Folder_Refused()
{
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes a shortcut (.lnk) on Windows, not a link that the file system follows");
#else
    Fixture F;
    QTemporaryDir Outside;
    QVERIFY(QDir(F.Space.Project_Dir + "/bin").removeRecursively());
    QVERIFY(QFile::link(Outside.path(), F.Space.Project_Dir + "/bin"));
    Configuration_Image Image(F.Space, &F.Separator);
    const auto Compiled = Compile_And_Save_Banks(Image, F.Space);
    QVERIFY(!Compiled);
    QCOMPARE(Compiled.error().Text,
             F.Space.Str(1107) + F.Space.Str(1108).arg(QDir::toNativeSeparators(F.Space.Project_Dir + "/bin")));
    QVERIFY(QDir(Outside.path()).isEmpty());
#endif
}

void Test_File_Write::Linked_Program_Folders_Keep_Working()
{
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes a shortcut (.lnk) on Windows, not a link that the file system follows");
#else
    // The user keeps the configurations and languages elsewhere on purpose.
    QTemporaryDir Elsewhere;
    Program_Folder Main;
    QDir().mkpath(Elsewhere.path() + "/PROJECTS/Plant/bin");
    QDir().mkpath(Elsewhere.path() + "/LANGUAGE");
    Write_File(Elsewhere.path() + "/LANGUAGE/Test.lng", "STR9 = Nessuna configurazione\r\n");
    QVERIFY(QFile::link(Elsewhere.path() + "/PROJECTS", Main.Exe_Dir + "/PROJECTS"));
    QVERIFY(QFile::link(Elsewhere.path() + "/LANGUAGE", Main.Exe_Dir + "/LANGUAGE"));
    Write_File(Main.Exe_Dir + "/Tavorix.xml", "<Conf_Settings><lastproj><projectname>Plant</projectname></lastproj>"
                                               "<lastlang><language>Test</language></lastlang></Conf_Settings>");
    Main.Start();
    QCOMPARE(Main.Space.Project_Name, QString("Plant"));
    QCOMPARE(Main.Space.Language_Name, QString("Test"));
    QCOMPARE(Main.Space.Str(9), QString("Nessuna configurazione"));
    QVERIFY(Par_Gen::Save(Main.Space.File_ParGen, Par_Gen::Defaults()));
    QVERIFY(QFileInfo(Elsewhere.path() + "/PROJECTS/Plant/ParGen.xml").isFile());
    Main.Window->close();
    QVERIFY(Main.Prompts.Messages.isEmpty());
#endif
}

void Test_File_Write::Two_Files_Replace_Together()
{
    QTemporaryDir Dir;
    const QString A = Dir.filePath("a"), B = Dir.filePath("b");
    Write_File(A, "old a");
    Write_File(B, "old b");
    // The second file cannot be made (a folder stands in its way): the first stays old too.
    QVERIFY(QFile::remove(B));
    QVERIFY(QDir(Dir.path()).mkdir("b"));
    const auto Failed = Write_Files_Atomic({{A, "new a"}, {B, "new b"}});
    QVERIFY(!Failed);
    QCOMPARE(Failed.error().Path, B);
    QVERIFY(!Failed.error().System_Text.isEmpty());
    QCOMPARE(Read_File(A), QByteArray("old a"));
    QCOMPARE(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             (QStringList{"a", "b"}));
    QVERIFY(QDir(Dir.path()).rmdir("b"));
    QVERIFY(Write_Files_Atomic({{A, "new a"}, {B, "new b"}}));
    QCOMPARE(Read_File(A), QByteArray("new a"));
    QCOMPARE(Read_File(B), QByteArray("new b"));
}

void Test_File_Write::Failed_Second_Rename_Restores_The_First_data()
{
    QTest::addColumn<bool>("Old_Pair");
    QTest::newRow("old pair there") << true;
    QTest::newRow("no old pair") << false;
}

// Both files are complete; the first has replaced its old version when the
// second cannot replace its own (a folder put in its way at that moment):
// the first gets its old version back, or goes where there was none.
void Test_File_Write::Failed_Second_Rename_Restores_The_First()
{
    QFETCH(bool, Old_Pair);
    QTemporaryDir Dir;
    const QString A = Dir.filePath("a"), B = Dir.filePath("b");
    if (Old_Pair) {
        Write_File(A, "old a");
        Write_File(B, "old b");
    }
    QStringList Seen_Before_Second;
    const auto Failed = Write_Files_Atomic({{A, "new a"}, {B, "new b"}}, [&](qsizetype Index) {
        if (Index != 1)
            return;
        Seen_Before_Second.append(QString::fromLatin1(Read_File(A)));
        if (Old_Pair)
            QVERIFY(QFile::rename(B, Dir.filePath("b kept by the test")));
        QVERIFY(QDir(Dir.path()).mkpath("b/in the way"));
    });
    QVERIFY(!Failed);
    QCOMPARE(Failed.error().Path, B);
    QVERIFY(!Failed.error().System_Text.isEmpty());
    QCOMPARE(Seen_Before_Second, QStringList{"new a"});
    QVERIFY(QDir(Dir.filePath("b")).removeRecursively());
    if (Old_Pair) {
        QCOMPARE(Read_File(A), QByteArray("old a"));
        QVERIFY(QFile::rename(Dir.filePath("b kept by the test"), B));
        QCOMPARE(Read_File(B), QByteArray("old b"));
    } else {
        QVERIFY(!QFileInfo::exists(A));
    }
    // No temporary file or kept version stays behind.
    QCOMPARE(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             Old_Pair ? QStringList({"a", "b"}) : QStringList());
}

QTEST_MAIN(Test_File_Write)
#include "test_file_write.moc"
