#include "cli/Ui_Drawing_Commands.h"

#include "cli/Cli_Commands.h"
#include "commission/Ui_Commission_Record.h"
#include "foundation/Identity.h"
#include "foundation/Workspace.h"
#include "project/Configuration.h"
#include "review/Ui_Report_Pdf.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>

namespace Cli {

namespace {

// Runs the command line with Draw on an offscreen graphics application.
int Run_Drawing(int argc, char* argv[], const Drawing& Draw)
{
    // Drawn offscreen: no display is needed, nor wanted.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    QCoreApplication::setApplicationName(Identity::SW_Code);
    QTextStream Out(stdout);
    QTextStream Err(stderr);
    const int Code = Run(QCoreApplication::arguments().mid(1), QCoreApplication::applicationDirPath(), Out, Err, Draw);
    Out.flush();
    Err.flush();
    return Code;
}

} // namespace

int Run_Report_Command(int argc, char* argv[])
{
    Drawing Draw;
    Draw.Write_Report = [](const Workspace& Space, const Configuration& Config, Decimal_Separator& Separator,
                           const QString& Given_Path) -> std::expected<QString, QString> {
        const QString Path = Given_Path.isEmpty()
                                 ? Workspace::Join(Config.Files.Project_Dir, Review::Report_File_Name(Config.Files.Project_Name))
                                 : Given_Path;
        const auto Written = Review::Write_Report(
            Space, Config, Separator, {Path, Review::Report_Page_Size(QLocale()), QDateTime::currentDateTime()});
        if (!Written)
            return std::unexpected(Written.error());
        return Path;
    };
    return Run_Drawing(argc, argv, Draw);
}

int Run_Commission_Record_Command(int argc, char* argv[])
{
    Drawing Draw;
    Draw.Write_Record = [](const Commission::Record& Rec, const QString& Path) {
        // The record in the language the window was left in.
        Workspace Space(QCoreApplication::applicationDirPath());
        Space.Read_Settings();
        Space.Init_Language();
        return Commission::Write_Record_Pdf(Rec, Path, Space);
    };
    return Run_Drawing(argc, argv, Draw);
}

} // namespace Cli
