#include "review/Ui_Report_Run.h"

#include "cli/Cli_Arguments.h"
#include "foundation/Identity.h"
#include "foundation/Workspace.h"
#include "platform/Decimal_Separator.h"
#include "platform/Platform_Services.h"
#include "platform/Prompter.h"
#include "platform/Save_File_Dialog.h"
#include "review/Review_Texts.h"
#include "review/Ui_Report_Pdf.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>

#include <cerrno>
#include <memory>

namespace Review {

void Ask_And_Write_Report(const Workspace& Space, const Platform_Services& Services)
{
    const Save_File_Request Asked{Space.Project_Dir, Report_File_Name(Space.Project_Name),
                                  Space.Str(Report_Text::Pdf_Filter), QStringLiteral("*.pdf")};
    const std::optional<QString> Path = Services.Save_Dialog->Ask_Save_Path(Asked);
    if (!Path)
        return;
    System_Decimal_Separator System;
    const auto Written = Write_Report(Space, Services.Separator ? *Services.Separator : System,
                                      {*Path, Report_Page_Size(QLocale()), QDateTime::currentDateTime()});
    if (!Written)
        Services.Prompts->Error(Space.Str(Report_Text::Not_Written).arg(Written.error()));
    else
        Services.Prompts->Information(Space.Str(Report_Text::Written).arg(QDir::toNativeSeparators(*Path)));
}

int Run_Report_Command(int argc, char* argv[])
{
    // Drawn offscreen: no display is needed, nor wanted.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    QCoreApplication::setApplicationName(Identity::SW_Code);
    QTextStream Out(stdout);
    QTextStream Err(stderr);
    const auto Refuse = [&Err](const QString& Reason) {
        Err << "sw40610: report: " << Reason << "\nTry 'sw40610 --help'.\n";
        return int(Cli::Wrong_Usage);
    };

    QCommandLineParser Parser;
    const QCommandLineOption Output({QStringLiteral("o"), QStringLiteral("output")}, {}, QStringLiteral("FILE"));
    const QCommandLineOption Quiet({QStringLiteral("q"), QStringLiteral("quiet")}, {});
    const QCommandLineOption Separator(QStringLiteral("decimal-separator"), {}, QStringLiteral("SEPARATOR"));
    Parser.addOptions({Output, Quiet, Separator});
    if (!Parser.parse(QCoreApplication::arguments().mid(0, 1) + QCoreApplication::arguments().mid(2)))
        return Refuse(Parser.errorText());
    if (Parser.positionalArguments().size() != 1)
        return Refuse(QStringLiteral("one configuration folder is needed, CONFIG_DIR"));
    std::unique_ptr<Decimal_Separator> Reading = std::make_unique<System_Decimal_Separator>();
    if (Parser.isSet(Separator)) {
        const QString Typed = Parser.value(Separator);
        if (Typed != QLatin1String(".") && Typed != QLatin1String(","))
            return Refuse(QStringLiteral("--decimal-separator must be '.' or ','"));
        Reading = std::make_unique<Given_Decimal_Separator>(Typed);
    }

    // The texts in the language the window was left in; nothing of the
    // program folder is written.
    Workspace Space(QCoreApplication::applicationDirPath());
    Space.Read_Settings();
    Space.Set_Identity();
    Space.Init_Language();
    Space.Project_Dir = QDir(Parser.positionalArguments().first()).absolutePath();
    Space.Project_Name = QFileInfo(Space.Project_Dir).fileName();
    Space.Set_Files();
    const QFileInfo Folder(Space.Project_Dir);
    if (!Folder.isDir()) {
        Err << "sw40610: " << QDir::toNativeSeparators(Space.Project_Dir) << ": "
            << qt_error_string(Folder.exists() ? ENOTDIR : ENOENT) << '\n';
        return Cli::File_Error;
    }
    const QString Path = Parser.isSet(Output) ? QFileInfo(Parser.value(Output)).absoluteFilePath()
                                              : Workspace::Join(Space.Project_Dir, Report_File_Name(Space.Project_Name));
    const auto Written = Write_Report(Space, *Reading, {Path, Report_Page_Size(QLocale()), QDateTime::currentDateTime()});
    if (!Written) {
        Err << "sw40610: " << Written.error() << '\n';
        return Cli::File_Error;
    }
    if (!Parser.isSet(Quiet))
        Out << Space.Str(Report_Text::Written).arg(QDir::toNativeSeparators(Path)) << '\n';
    return Cli::Done;
}

} // namespace Review
