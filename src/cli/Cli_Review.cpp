#include "cli/Cli_Review.h"

#include "foundation/Workspace.h"
#include "platform/Decimal_Separator.h"
#include "project/Configuration.h"
#include "review/Configuration_Diff.h"
#include "review/Review_Texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <memory>

namespace Cli {

namespace {

std::unique_ptr<Decimal_Separator> Separator_Of(const Invocation& Given)
{
    if (Given.Separator)
        return std::make_unique<Given_Decimal_Separator>(QString(*Given.Separator));
    return std::make_unique<System_Decimal_Separator>();
}

std::unexpected<Command_Error> Not_Opened(const Read_Failure& Why)
{
    return Failure(Why.What == Read_Failure::Kind::Not_Configuration ? Wrong_Usage : File_Error, Why.Text());
}

// The texts in the language the window was left in; nothing of the program
// folder is written.
void Read_Language(Workspace& Space)
{
    Space.Read_Settings();
    Space.Set_Identity();
    Space.Init_Language();
}

} // namespace

Result<Exit_Code> Run_Diff(const Invocation& Given, Command_Context& Context)
{
    const std::unique_ptr<Decimal_Separator> Reading = Separator_Of(Given);
    const QString& Dir_A = Given.Arguments[0];
    const QString& Dir_B = Given.Arguments[1];
    const auto Found = Review::Compare(Dir_A, Dir_B, *Reading);
    if (!Found)
        return Not_Opened(Found.error());
    if (Given.Json) {
        Context.Out << QString::fromUtf8(Review::Differences_Json(Dir_A, Dir_B, *Found));
    } else {
        // The mark of a description in the chosen language.
        Workspace Space(Context.Exe_Dir);
        Read_Language(Space);
        for (const Review::Difference& D : *Found)
            Context.Out << Review::Difference_Line(D, Space.Lang_Strings) << '\n';
    }
    // Descriptions are not given to the device: they leave the answer "the same".
    return Review::Same_Device_Configuration(*Found) ? Done : Configuration_Errors;
}

Result<Exit_Code> Run_Report(const Invocation& Given, Command_Context& Context)
{
    if (!Context.Draw.Write_Report)
        return Failure(File_Error, QStringLiteral("report: the report cannot be drawn here"));
    const std::unique_ptr<Decimal_Separator> Reading = Separator_Of(Given);
    const auto Config = Open_Configuration(Given.Arguments.first());
    if (!Config)
        return Not_Opened(Config.error());
    Workspace Space(Context.Exe_Dir);
    Read_Language(Space);
    Space.Project_Dir = Config->Files.Project_Dir;
    Space.Project_Name = Config->Files.Project_Name;
    Space.Set_Files();
    const QString Path = Given.Output.isEmpty() ? QString() : QFileInfo(Given.Output).absoluteFilePath();
    const auto Written = Context.Draw.Write_Report(Space, *Config, *Reading, Path);
    if (!Written)
        return Failure(File_Error, Written.error());
    if (!Given.Quiet)
        Context.Out << Space.Str(Report_Text::Written).arg(QDir::toNativeSeparators(*Written)) << '\n';
    return Done;
}

} // namespace Cli
