#include "cli/Cli_Review.h"

#include "cli/Cli_Arguments.h"
#include "platform/Decimal_Separator.h"
#include "review/Configuration_Diff.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

#include <memory>

namespace Cli {

namespace {

int Refuse_Usage(QTextStream& Err, const QString& Reason)
{
    Err << "sw40610: " << Reason << "\nTry 'sw40610 --help'.\n";
    return Wrong_Usage;
}

} // namespace

bool Is_Diff_Command(const QStringList& Arguments_After_Program)
{
    return Arguments_After_Program.value(0) == QLatin1String("diff");
}

bool Is_Report_Command(const QStringList& Arguments_After_Program)
{
    return Arguments_After_Program.value(0) == QLatin1String("report");
}

int Run_Diff(const QStringList& Arguments_After_Command, QTextStream& Out, QTextStream& Err)
{
    QCommandLineParser Parser;
    const QCommandLineOption Json(QStringLiteral("json"), {});
    const QCommandLineOption Separator(QStringLiteral("decimal-separator"), {}, QStringLiteral("SEPARATOR"));
    Parser.addOptions({Json, Separator});
    if (!Parser.parse(QStringList{QStringLiteral("sw40610")} + Arguments_After_Command))
        return Refuse_Usage(Err, QStringLiteral("diff: ") + Parser.errorText());
    const QStringList Folders = Parser.positionalArguments();
    if (Folders.size() != 2)
        return Refuse_Usage(Err, QStringLiteral("diff: two configuration folders are needed, CONFIG_A and CONFIG_B"));
    std::unique_ptr<Decimal_Separator> Reading;
    if (Parser.isSet(Separator)) {
        const QString Typed = Parser.value(Separator);
        if (Typed != QLatin1String(".") && Typed != QLatin1String(","))
            return Refuse_Usage(Err, QStringLiteral("diff: --decimal-separator must be '.' or ','"));
        Reading = std::make_unique<Given_Decimal_Separator>(Typed);
    } else {
        Reading = std::make_unique<System_Decimal_Separator>();
    }

    const auto Found = Review::Compare(Folders[0], Folders[1], *Reading);
    if (!Found) {
        Err << "sw40610: " << QDir::toNativeSeparators(Found.error().Path) << ": " << Found.error().Reason << '\n';
        return File_Error;
    }
    if (Parser.isSet(Json)) {
        Out << QString::fromUtf8(Review::Differences_Json(Folders[0], Folders[1], *Found));
    } else {
        for (const Review::Difference& D : *Found)
            Out << Review::Difference_Line(D) << '\n';
    }
    return Found->isEmpty() ? Done : Configuration_Errors;
}

QString Review_Help_Text()
{
    return QStringLiteral(
        "\n"
        "Comparing and reporting:\n"
        "  diff CONFIG_A CONFIG_B [--json] [--decimal-separator . | ,]\n"
        "                              list what the device would be given differently, one line\n"
        "                              per difference as FILE: ITEM: A -> B, or one JSON document;\n"
        "                              exit 0 the same, 1 different, 2 wrong usage, 3 a file\n"
        "                              could not be read\n"
        "  report CONFIG_DIR [-o FILE] write the configuration's PDF report; default:\n"
        "                              CONFIG_DIR/<configuration>-report.pdf (needs no display)\n");
}

} // namespace Cli
