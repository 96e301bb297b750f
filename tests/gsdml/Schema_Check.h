#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <array>

// Validation of a device description against the published GSDML schema
// (version 2.35) with xmllint. The schema stays in the shared folder beside
// the checkout; it is not part of the project.
namespace Schema_Check {

inline QString Schema_Dir() { return QStringLiteral(SW_SHARED_DIR "/gsdml-xsd"); }
inline QString Schema_File() { return Schema_Dir() + "/GSDML-DeviceProfile-v2.35.xsd"; }
inline bool Schema_Present() { return QFileInfo(Schema_File()).isFile(); }
inline QString Skip_Reason()
{
    return "GSDML schema not found at " + QDir::cleanPath(Schema_Dir())
           + " (the shared folder beside the checkout); schema validation not run";
}
inline QString Xmllint() { return QStandardPaths::findExecutable("xmllint"); }
// Where xmllint must be found. A Windows run (under Wine on the build machine)
// has none; the description is the same text on every system and is checked
// in the Linux run, so there it is skipped with the reason.
#ifdef Q_OS_WIN
inline constexpr bool Xmllint_Required = false;
#else
inline constexpr bool Xmllint_Required = true;
#endif

// The fixed description targets schema 2.31; these are the differences the
// 2.35 schema reports on it, by line. Anything else is a fault.
struct Known_Difference {
    int Line;
    const char* Text;
};
inline constexpr std::array<Known_Difference, 9> Known_Differences = {{
    {44, "VirtualSubmoduleItem': The attribute 'MayIssueProcessAlarm' is required but missing."},
    {45, "IOData', attribute 'IOPS_Length': The attribute 'IOPS_Length' is not allowed."},
    {45, "IOData', attribute 'IOCS_Length': The attribute 'IOCS_Length' is not allowed."},
    {53, "InterfaceSubmoduleItem', attribute 'SupportedMibs': The attribute 'SupportedMibs' is not allowed."},
    {58, "PortSubmoduleItem': Missing child element(s). Expected is one of ( "
         "{http://www.profibus.com/GSDML/2003/11/DeviceProfile}RecordDataList, "
         "{http://www.profibus.com/GSDML/2003/11/DeviceProfile}MAUTypeList )."},
    {59, "PortSubmoduleItem': Missing child element(s). Expected is one of ( "
         "{http://www.profibus.com/GSDML/2003/11/DeviceProfile}RecordDataList, "
         "{http://www.profibus.com/GSDML/2003/11/DeviceProfile}MAUTypeList )."},
    {74, "VirtualSubmoduleItem': The attribute 'MayIssueProcessAlarm' is required but missing."},
    {75, "IOData', attribute 'IOPS_Length': The attribute 'IOPS_Length' is not allowed."},
    {75, "IOData', attribute 'IOCS_Length': The attribute 'IOCS_Length' is not allowed."},
}};

struct Result {
    QString Failure;              // xmllint could not be run
    QStringList Unexpected;       // reports that are not known differences
    int Known_Found = 0;          // known differences reported
};

// Validates the file at Path. Every line xmllint writes to its error output,
// except its closing verdict, is a report.
inline Result Validate(const QString& Path)
{
    Result Out;
    QProcess Lint;
    Lint.setWorkingDirectory(Schema_Dir());
    Lint.start(Xmllint(), {"--noout", "--nonet", "--schema", Schema_File(), Path});
    if (!Lint.waitForFinished(60000)) {
        Out.Failure = "xmllint did not finish: " + Lint.errorString();
        return Out;
    }
    const QString Prefix = Path + ":";
    std::array<bool, Known_Differences.size()> Used{};
    const QStringList Lines = QString::fromUtf8(Lint.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    for (const QString& Line : Lines) {
        if (Line == Path + " validates" || Line == Path + " fails to validate")
            continue;
        bool Matched = false;
        if (Line.startsWith(Prefix)) {
            const int Line_Number = Line.mid(Prefix.size()).section(':', 0, 0).toInt();
            for (std::size_t I = 0; I < Known_Differences.size() && !Matched; ++I) {
                if (!Used[I] && Known_Differences[I].Line == Line_Number
                    && Line.endsWith(QString::fromLatin1(Known_Differences[I].Text))) {
                    Used[I] = true;
                    Matched = true;
                }
            }
        }
        if (Matched)
            ++Out.Known_Found;
        else
            Out.Unexpected.append(Line.mid(Line.startsWith(Prefix) ? Prefix.size() - 1 : 0));
    }
    if (Lint.exitCode() != 0 && Lint.exitCode() != 3 && Out.Unexpected.isEmpty())
        Out.Unexpected.append(QStringLiteral("xmllint ended with code %1").arg(Lint.exitCode()));
    return Out;
}

inline Result Validate_Text(const QString& Dir, const QByteArray& Text)
{
    const QString Path = Dir + "/description.xml";
    QFile File(Path);
    if (!File.open(QIODevice::WriteOnly) || File.write(Text) != Text.size())
        return {"cannot write " + Path, {}, 0};
    File.close();
    return Validate(Path);
}

} // namespace Schema_Check

// Checks inside a test function: skipped without the schema, failed without xmllint.
#define SCHEMA_CHECK_PREREQUISITES()                                                                                   \
    do {                                                                                                               \
        if (!Schema_Check::Schema_Present())                                                                           \
            QSKIP(qPrintable(Schema_Check::Skip_Reason()));                                                            \
        if (Schema_Check::Xmllint().isEmpty() && !Schema_Check::Xmllint_Required)                                      \
            QSKIP("xmllint not found: the description is validated against the schema in the Linux run");            \
        if (Schema_Check::Xmllint().isEmpty())                                                                         \
            QFAIL("xmllint not found: install Debian's libxml2-utils (scripts/setup.sh does)");                       \
    } while (false)

// The file validates except for exactly the known differences.
#define VERIFY_ONLY_KNOWN_DIFFERENCES(Outcome)                                                                          \
    do {                                                                                                               \
        const Schema_Check::Result& R_ = (Outcome);                                                                     \
        QVERIFY2(R_.Failure.isEmpty(), qPrintable(R_.Failure));                                                        \
        QVERIFY2(R_.Unexpected.isEmpty(), qPrintable("schema errors:\n" + R_.Unexpected.join('\n')));                 \
        QCOMPARE(R_.Known_Found, int(Schema_Check::Known_Differences.size()));                                         \
    } while (false)
