#include "cli/Cli_Commands.h"

#include "certificates/Crypto_Module.h"
#include "cli/Cli_Arguments.h"
#include "cli/Cli_Commission.h"
#include "cli/Cli_Dcp.h"
#include "cli/Cli_Findings.h"
#include "cli/Cli_History.h"
#include "cli/Cli_Review.h"
#include "cli/Cli_Texts.h"
#include "gsdml/Profinet_File_Name.h"
#include "gsdml/Profinet_XML.h"
#include "image/Configuration_Image.h"
#include "platform/Decimal_Separator.h"
#include "platform/File_Read.h"
#include "platform/Raw_Ethernet.h"
#include "platform/Xml_File.h"
#include "foundation/Workspace.h"
#include "update/Update_Parameter_File.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

namespace Cli {

namespace {

QString Native(const QString& Path) { return QDir::toNativeSeparators(Path); }

// A command ends early with its exit code and what it says on standard error.
struct Failure {
    Exit_Code Code;
    QString Message;
};

class Session {
public:
    Session(const Arguments& Args_, const QString& Exe_Dir, QTextStream& Out_, QTextStream& Err_)
        : Args(Args_), Space(Exe_Dir), Out(Out_), Err(Err_)
    {
        // The texts come in the language the window was left in; nothing of
        // the program folder is created or written.
        Space.Read_Settings();
        Space.Set_Identity();
        Space.Init_Language();
        // The configuration is the folder given, wherever it lies.
        Space.Project_Dir = QDir(Args.Config_Dir).absolutePath();
        Space.Project_Name = QFileInfo(Space.Project_Dir).fileName();
        Space.Set_Files();
        if (Args.Separator)
            Separator = std::make_unique<Given_Decimal_Separator>(QString(*Args.Separator));
        else
            Separator = std::make_unique<System_Decimal_Separator>();
    }

    int Run()
    {
        try {
            Check_Inputs();
            switch (Args.What) {
            case Command::Compile: return Compile();
            case Command::Gsdml: return Gsdml();
            case Command::Check: return Check();
            case Command::Update_File: return Update_File();
            case Command::Help:
            case Command::Version: break;
            }
            return Done;
        } catch (const Failure& F) {
            Err << "sw40610: " << F.Message << '\n';
            return F.Code;
        } catch (const Xml_Parse_Error& E) {
            Err << "sw40610: " << E.Message() << '\n';
            return Configuration_Errors;
        } catch (const Update_File_Error& E) {
            Err << "sw40610: " << Space.Write_Failure_Text(E.Failure) << '\n';
            return File_Error;
        } catch (const std::runtime_error& E) {
            // A project file that is there but cannot be read, or a file that
            // cannot be written.
            Err << "sw40610: " << QString::fromStdString(E.what()) << '\n';
            return File_Error;
        }
    }

private:
    const Arguments& Args;
    Workspace Space;
    QTextStream& Out;
    QTextStream& Err;
    std::unique_ptr<Decimal_Separator> Separator;

    void Result(const QString& Line)
    {
        if (!Args.Quiet)
            Out << Line << '\n';
    }

    void Wrote(const QString& Path, qint64 Bytes)
    {
        Result(Space.Str(Cli_Text::Wrote).arg(Native(Path), QString::number(Bytes)));
    }

    // The folder must be there and hold at least one of the project files
    // (a mistyped path would otherwise give the defaults); a project file that
    // is there must be a readable regular file (a missing one gives its
    // defaults, as in the window). A FIFO or a device is never opened: opening
    // one may wait for a writer.
    void Check_Inputs() const
    {
        const QFileInfo Folder(Space.Project_Dir);
        if (!Folder.exists())
            throw Failure{File_Error, Native(Space.Project_Dir) + QStringLiteral(": ") + qt_error_string(ENOENT)};
        if (!Folder.isDir())
            throw Failure{File_Error, Native(Space.Project_Dir) + QStringLiteral(": ") + qt_error_string(ENOTDIR)};
        const QStringList Files{Space.File_ParGen, Space.File_IEC61850_Variables, Space.File_TLS_Known_Cert};
        const auto Present = [](const QString& Path) {
            const QFileInfo Info(Path);
            return Info.exists() || Info.isSymLink();
        };
        if (std::none_of(Files.begin(), Files.end(), Present))
            throw Failure{Wrong_Usage, QStringLiteral("not a configuration folder: ") + Native(Space.Project_Dir)};
        for (const QString& Path : Files) {
            if (!Present(Path))
                continue;
            const QFileInfo Info(Path);
            QString Problem;
            if (!Info.exists()) {
                Problem = qt_error_string(ENOENT);  // a link to nothing
            } else if (Info.isDir()) {
                Problem = qt_error_string(EISDIR);
            } else if (!Info.isFile()) {
                Problem = QStringLiteral("not a regular file");
            } else if (const std::optional<Read_Error> Unreadable = Regular_File_Problem(Path)) {
                Problem = Unreadable->Text;
            }
            if (!Problem.isEmpty())
                throw Failure{File_Error, Native(Path) + QStringLiteral(": ") + Problem};
        }
    }

    // Reports the findings on standard error; refuses to go on when one is an error.
    void Refuse_Errors(const QList<Finding>& Findings)
    {
        for (const Finding& F : Findings)
            Err << Finding_Line(F) << '\n';
        if (Has_Errors(Findings))
            throw Failure{Configuration_Errors, Space.Str(Cli_Text::Not_Written)};
    }

    // Every finding about the configuration. Keys and certificates the
    // program could not read, its crypto module missing, say nothing about
    // the configuration: that is a file error of the program folder.
    QList<Finding> Checked_Configuration()
    {
        QList<Finding> Findings = Checks::Check_Configuration(Space, *Separator);
        if (const std::optional<Module_Failure> Missing = Certificates::Crypto_Failure())
            throw Failure{File_Error, Certificates::Crypto_Missing_Text(*Missing, Space.Lang_Strings)};
        return Findings;
    }

    int Compile()
    {
        Refuse_Errors(Checked_Configuration());
        Configuration_Image Image(Space, Separator.get());
        if (const auto Compiled = Compile_And_Save_Banks(Image, Space); !Compiled) {
            const bool In_Configuration = Compiled.error().What == Compile_Failure::Kind::Too_Large
                                       || Compiled.error().What == Compile_Failure::Kind::Not_Well_Formed;
            throw Failure{In_Configuration ? Configuration_Errors : File_Error, Compiled.error().Text};
        }
        Wrote(Image.Bank1_Path(), Image.Bank1_Length);
        Wrote(Image.Bank2_Path(), Image.Bank2_Length);
        return Done;
    }

    int Gsdml()
    {
        // The description is made from the general parameters only.
        QList<Finding> Findings = Checked_Configuration();
        Findings.removeIf([&](const Finding& F) { return F.File != Space.File_ParGen; });
        Refuse_Errors(Findings);

        const QString Path = Args.Output.isEmpty()
                                 ? Workspace::Join(Space.Project_Dir,
                                                   Compose_Profinet_File_Name(Profinet_File_Name_Fix1, {},
                                                                              Profinet_File_Name_Fix2(QDate::currentDate())))
                                 : QFileInfo(Args.Output).absoluteFilePath();
        Profinet_XML Generator(Space);
        if (const auto Written = Generator.Create_Profinet_XML(Path); !Written)
            throw Failure{File_Error, Space.Write_Failure_Text(Written.error())};
        Wrote(Path, QFileInfo(Path).size());
        return Done;
    }

    int Check()
    {
        const QList<Finding> Findings = Checked_Configuration();
        // The parser's message goes to standard error in every form of output.
        for (const Finding& F : Findings)
            if (F.Not_Well_Formed)
                Err << "sw40610: " << F.Text << '\n';
        if (Args.Json) {
            Out << QString::fromUtf8(Findings_Json(Space.Project_Dir, Findings));
        } else {
            for (const Finding& F : Findings)
                Out << Finding_Line(F) << '\n';
            Result(Summary_Line(Findings, Space.Lang_Strings));
        }
        return Has_Errors(Findings) ? Configuration_Errors : Done;
    }

    int Update_File()
    {
        const Update_Choice Choice{Args.Device, Args.Update_Option_Index, Args.Read_Back};
        const Update_Sources Sources{Space.Master_Dir, Space.Project_Dir};
        Xml_File Doc;
        QString Path;
        if (Args.Output.isEmpty()) {
            Write_Update_Parameters(Doc, Choice, Sources, Space.Exe_Dir);
            Path = Update_Parameter_File(Space.Exe_Dir);
        } else {
            Path = QFileInfo(Args.Output).absoluteFilePath();
            Build_Update_Parameters(Doc, Choice, Sources);
            if (const auto Saved = Doc.Save(Path); !Saved)
                throw Failure{File_Error, Space.Write_Failure_Text(Saved.error())};
        }
        Wrote(Path, QFileInfo(Path).size());
        return Done;
    }
};

} // namespace

int Run(const QStringList& Arguments_After_Program, const QString& Exe_Dir, QTextStream& Out, QTextStream& Err)
{
    if (Is_Commission_Command(Arguments_After_Program)) {
        Pcap_Raw_Ethernet Ethernet;
        return Run_Commission(Arguments_After_Program, Exe_Dir, Ethernet, Out, Err);
    }
    if (Is_Dcp_Command(Arguments_After_Program)) {
        Pcap_Raw_Ethernet Ethernet;
        return Run_Dcp(Arguments_After_Program, Ethernet, Out, Err);
    }
    if (Is_Diff_Command(Arguments_After_Program))
        return Run_Diff(Arguments_After_Program.mid(1), Out, Err);
    if (Is_History_Command(Arguments_After_Program))
        return Run_History(Arguments_After_Program.mid(1), Out, Err);
    if (Is_Restore_Command(Arguments_After_Program))
        return Run_Restore(Arguments_After_Program.mid(1), Out, Err);
    const auto Args = Parse(Arguments_After_Program);
    if (!Args) {
        Err << "sw40610: " << Args.error() << "\nTry 'sw40610 --help'.\n";
        return Wrong_Usage;
    }
    switch (Args->What) {
    case Command::Help: Out << Help_Text() << Review_Help_Text() << History_Help_Text() << Dcp_Help_Text() << Commission_Help_Text(); return Done;
    case Command::Version: Out << Version_Text(); return Done;
    default: break;
    }
    try {
        return Session(*Args, Exe_Dir, Out, Err).Run();
    } catch (const std::bad_alloc&) {
        // A file that asks for more memory than there is ends the command, not the process.
        Err << "sw40610: " << qt_error_string(ENOMEM) << '\n';
        return File_Error;
    }
}

int Main(int argc, char* argv[])
{
    // Past a file-size limit a write fails with its error instead of the
    // signal ending the process without a word.
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QCoreApplication App(argc, argv);
    QCoreApplication::setApplicationName(Identity::SW_Code);
    QTextStream Out(stdout);
    QTextStream Err(stderr);
    const int Code = Run(QCoreApplication::arguments().mid(1), QCoreApplication::applicationDirPath(), Out, Err);
    Out.flush();
    Err.flush();
    return Code;
}

} // namespace Cli
