// The configuration report: its text read back with pdftotext, its map page
// rendered with pdftoppm and set against the editor's map drawing.
#include "editors/Ui_Variable_Map.h"
#include "checks/Variable_Placement.h"
#include "foundation/Workspace.h"
#include "image/Configuration_Image.h"
#include "platform/Platform_Services.h"
#include "project/Known_Cert_File.h"
#include "project/Par_Gen_File.h"
#include "project/Variables_File.h"
#include "review/Ui_Report_Pdf.h"
#include "report/Report_Plant.h"
#include "certificates/Pem_Contents.h"
#include "support/Built_Program.h"
#include "support/Fixed_Separator.h"
#include "support/Program_Folder.h"
#include "support/Scripted_File_Dialogs.h"
#include "support/Test_Certificates.h"
#include "support/Test_Files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#ifndef Q_OS_WIN
#include <sys/resource.h>
#endif

using Test_Support::Read_File;

namespace {

bool Have(const char* Tool) { return !QStandardPaths::findExecutable(QLatin1String(Tool)).isEmpty(); }

#define REQUIRE_POPPLER()                                                                                    \
    do {                                                                                                     \
        if (!Have("pdftotext") || !Have("pdftoppm") || !Have("pdfinfo"))                                      \
            QSKIP("pdftotext, pdftoppm and pdfinfo (Debian package poppler-utils) are needed to read the PDF"); \
    } while (false)

QByteArray Run(const QString& Program, const QStringList& Arguments)
{
    QProcess Process;
    Process.start(Program, Arguments);
    if (!Process.waitForFinished(60000) || Process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(Program), Process.readAllStandardError().constData());
    return Process.readAllStandardOutput();
}

QString Pdf_Text(const QString& Pdf) { return QString::fromUtf8(Run("pdftotext", {"-layout", Pdf, "-"})); }

// A configuration of 50 variables with TLS material, a plant as a customer has it.
struct Plant : Report_Plant {
    QList<QStringList> Variables;

    explicit Plant(const QString& Language = "English") : Report_Plant(Language, "plant-north", "s3cret-word")
    {
        int Position = 0;
        for (int I = 0; I < 50; ++I) {
            const int Kind = I % 3;
            const QString Type = Kind == 0 ? "INTEGER" : Kind == 1 ? "FLOAT" : "DIGITAL (BIT)";
            const int Length = Kind == 0 ? 2 : Kind == 1 ? 4 : 1;
            Variables.append({"Y", QString("Var_%1").arg(I, 2, 10, QChar('0')), Type, QString::number(Length), "N",
                              QString::number(Position), Kind == 2 ? QString::number(I % 8) : "", "NONE", "None", "N",
                              "N", QString("measure %1").arg(I)});
            Position += Length;
        }
        QVERIFY(Variables_File::Save(Space.File_IEC61850_Variables, Variables));
        QVERIFY(Known_Cert_File::Save(Space.File_TLS_Known_Cert,
                                      {{"Y", Pki.Unrelated.Pem(), "client"}, {"N", Pki.Expired.Pem(), "old"}}));
    }
    QString Fingerprint(const Test_Pki::Made_Certificate& C) const
    {
        return Certificates::Read_Pem(C.Pem()).value().Certificates.first().Fingerprint;
    }
    Review::Report_Written Write(const QString& Pdf, QPageSize::PageSizeId Page = QPageSize::A4)
    {
        Fixed_Separator Point(".");
        const auto Written = Review::Write_Report(Space, Point, {Pdf, Page, QDateTime(QDate(2026, 3, 4), QTime(5, 6))});
        if (!Written)
            qFatal("report not written: %s", qPrintable(Written.error()));
        return *Written;
    }
};

} // namespace

class Test_Report_Pdf : public QObject {
    Q_OBJECT
private slots:
    void Reads_Back_Names_Values_Fingerprints();
    void Bank_Files_Against_Bin();
    void Wrong_Material_In_A_Tls_Box_Is_Named_data();
    void Wrong_Material_In_A_Tls_Box_Is_Named();
    void Page_Size_And_Language_data();
    void Page_Size_And_Language();
    void Map_Page_Is_The_Editors_Drawing();
    void Unwritable_Target_Keeps_Old_File();
    void Command_Past_A_File_Size_Limit();
    void Encrypted_Key_Opened_Once();
    void Report_Button_Proposes_Name();
};

void Test_Report_Pdf::Reads_Back_Names_Values_Fingerprints()
{
    REQUIRE_POPPLER();
    Plant P;
    const QString Pdf = P.Dir.path() + "/out/report.pdf";
    QDir().mkpath(P.Dir.path() + "/out");
    const Review::Report_Written Written = P.Write(Pdf);
    const QString Text = Pdf_Text(Pdf);
    const QStringList Pages = Text.split(u'\f', Qt::SkipEmptyParts);

    QVERIFY(Run("pdfinfo", {Pdf}).contains(QString("Pages:           %1").arg(Written.Pages).toUtf8()));
    QCOMPARE(Pages.size(), Written.Pages);
    for (int I = 0; I < Pages.size(); ++I) {
        QVERIFY2(Pages[I].contains(QString("Page %1 of %2").arg(I + 1).arg(Written.Pages)), qPrintable(Pages[I]));
        QVERIFY(Pages[I].contains("Configuration Report: Plant North"));
    }
    QVERIFY(Text.contains("2026-03-04 05:06"));
    QVERIFY(Text.contains("SW40610 1.000"));
    for (int I = 0; I < 50; ++I)
        QVERIFY2(Text.contains(QString("Var_%1").arg(I, 2, 10, QChar('0'))), qPrintable(QString::number(I)));
    QVERIFY(Text.contains("Variables: 50, enabled: 50"));
    // The general parameters under the editor's labels, an address on one line.
    QVERIFY(Text.contains(QRegularExpression("Name of Station\\s+plant-north")));
    QVERIFY(Text.contains(QRegularExpression("IP Address\\s+192\\.168\\.0\\.5")));
    QVERIFY(Text.contains(QRegularExpression("SubNet Mask\\s+255\\.255\\.255\\.0")));
    QVERIFY(Text.contains(QRegularExpression("Gateway\\s+not used \\(192\\.168\\.0\\.1\\)")));
    QVERIFY(Text.contains(QRegularExpression("Enable TLS\\s+yes")));
    QVERIFY(!Text.contains("PROFINET_IP1"));
    QVERIFY(!Text.contains("TLS_Server_Key"));
    QVERIFY(Text.contains("plant-north (valid)"));
    QVERIFY(Text.contains("0x1111 / 0x0221"));
    QVERIFY(Text.contains(QRegularExpression("Password\\s+set")));
    for (const auto* Certificate : {&P.Pki.Server, &P.Pki.Root, &P.Pki.Unrelated, &P.Pki.Expired})
        QVERIFY2(Text.contains(P.Fingerprint(*Certificate)), qPrintable(P.Fingerprint(*Certificate)));
    QVERIFY(Text.contains("Known certificate 2 (disabled)"));
    QVERIFY(Text.contains(QRegularExpression("Mnemonic\\s+client")));
    QVERIFY(Text.contains(QRegularExpression("Mnemonic\\s+old")));
    // Secrets never in clear.
    QVERIFY(!Text.contains("s3cret-word"));
    QVERIFY(!Text.contains("PRIVATE KEY"));
    QVERIFY(!Text.contains("BEGIN CERTIFICATE"));
    // The map and its findings: a clean placement.
    QVERIFY(Pages[Written.Map_Page - 1].contains("Map of the Internal Data Array"));
    QVERIFY(Pages[Written.Map_Page - 1].contains("No findings on the data array"));
}

void Test_Report_Pdf::Wrong_Material_In_A_Tls_Box_Is_Named_data()
{
    QTest::addColumn<int>("Box");
    QTest::addColumn<bool>("Put_Certificate");
    QTest::addColumn<QString>("Expected");
    QTest::newRow("a certificate in the key box")
        << int(Par_Gen::TLS_Server_Key) << true << QStringLiteral("Key\\s+not a private key");
    QTest::newRow("a key in the certificate box") << int(Par_Gen::TLS_Server_Server_Certificate) << false
                                                  << QStringLiteral("Server Certificate\\s+not a certificate");
}

void Test_Report_Pdf::Wrong_Material_In_A_Tls_Box_Is_Named()
{
    REQUIRE_POPPLER();
    QFETCH(int, Box);
    QFETCH(bool, Put_Certificate);
    QFETCH(QString, Expected);
    Plant P;
    Par_Gen::Values Par = Par_Gen::Load(P.Space.File_ParGen);
    Par[Box] = Put_Certificate ? P.Pki.Root.Pem() : P.Pki.Server_Key.Pem();
    QVERIFY(Par_Gen::Save(P.Space.File_ParGen, Par));
    const QString Pdf = P.Dir.path() + "/report.pdf";
    P.Write(Pdf);
    const QString Text = Pdf_Text(Pdf);
    QVERIFY2(Text.contains(QRegularExpression(Expected)), qPrintable(Text.left(3000)));
}

void Test_Report_Pdf::Bank_Files_Against_Bin()
{
    REQUIRE_POPPLER();
    Plant P;
    Fixed_Separator Point(".");
    Configuration_Image Image(P.Space, &Point);
    QCOMPARE(Image.Create_Bin(), Configuration_Image::Compile_Result::Compiled);
    const QString Bank1 = QString::fromLatin1(
        QCryptographicHash::hash(Image.Bank1_Buffer.left(Image.Bank1_Length), QCryptographicHash::Sha256).toHex());
    const QString Bank2 = QString::fromLatin1(
        QCryptographicHash::hash(Image.Bank2_Buffer.left(Image.Bank2_Length), QCryptographicHash::Sha256).toHex());
    const QString Pdf = P.Dir.path() + "/r.pdf";

    P.Write(Pdf);
    QString Text = Pdf_Text(Pdf);
    QVERIFY(Text.contains(QRegularExpression("bank1.bin\\s+2048\\s+" + Bank1 + "\\s+not there")));
    QVERIFY2(Text.contains(QRegularExpression("bank2.bin\\s+" + QString::number(Image.Bank2_Length) + "\\s+" + Bank2
                                              + "\\s+not there")),
             qPrintable(Text.mid(Text.indexOf("bank1.bin"), 400)));

    QVERIFY(Image.Save_Bin());
    Test_Support::Write_File(Image.Bank2_Path(), "stale");
    P.Write(Pdf);
    Text = Pdf_Text(Pdf);
    QVERIFY(Text.contains(QRegularExpression("bank1.bin\\s+2048\\s+" + Bank1 + "\\s+the same")));
    QVERIFY(Text.contains(QRegularExpression(Bank2 + "\\s+different")));
}

void Test_Report_Pdf::Page_Size_And_Language_data()
{
    QTest::addColumn<QString>("Language");
    QTest::addColumn<int>("Page");
    QTest::addColumn<QString>("Size");
    QTest::addColumn<QString>("Footer");
    QTest::newRow("Letter, English") << "English" << int(QPageSize::Letter) << "612 x 792" << "Page 1 of";
    QTest::newRow("A4, Italiano") << "Italiano" << int(QPageSize::A4) << "595 x 842" << "Pagina 1 di";
    QTest::newRow("A4, Deutsch") << "Deutsch" << int(QPageSize::A4) << "595 x 842" << "Seite 1 von";
}

void Test_Report_Pdf::Page_Size_And_Language()
{
    REQUIRE_POPPLER();
    QFETCH(QString, Language);
    QFETCH(int, Page);
    QFETCH(QString, Size);
    QFETCH(QString, Footer);
    Plant P(Language);
    const QString Pdf = P.Dir.path() + "/r.pdf";
    P.Write(Pdf, QPageSize::PageSizeId(Page));
    QVERIFY(QString::fromUtf8(Run("pdfinfo", {Pdf})).contains("Page size:       " + Size));
    const QString Text = Pdf_Text(Pdf);
    QVERIFY2(Text.contains(Footer), qPrintable(Text.left(400)));
    QVERIFY(Text.contains(P.Space.Str(1404) + ": Plant North"));
    QCOMPARE(Review::Report_Page_Size(QLocale(QLocale::English, QLocale::UnitedStates)), QPageSize::Letter);
    QCOMPARE(Review::Report_Page_Size(QLocale(QLocale::Italian, QLocale::Italy)), QPageSize::A4);
}

void Test_Report_Pdf::Map_Page_Is_The_Editors_Drawing()
{
    REQUIRE_POPPLER();
    Plant P;
    // Two digital variables on one bit, and a byte overlap: the map shows its findings.
    P.Variables[49][Variables_File::Position] = "0";
    P.Variables[47][Variables_File::Position] = P.Variables[44][Variables_File::Position];
    P.Variables[47][Variables_File::StartBit] = P.Variables[44][Variables_File::StartBit];
    QVERIFY(Variables_File::Save(P.Space.File_IEC61850_Variables, P.Variables));
    const QString Pdf = P.Dir.path() + "/r.pdf";
    const Review::Report_Written Written = P.Write(Pdf);

    // At the resolution the report draws at, both drawings have the same pixels.
    constexpr int Dpi = 300;
    const qreal Scale = Dpi / 72.0;
    Run("pdftoppm", {"-r", QString::number(Dpi), "-f", QString::number(Written.Map_Page), "-l",
                     QString::number(Written.Map_Page), "-singlefile", "-png", Pdf, P.Dir.path() + "/map"});
    QImage Page(P.Dir.path() + "/map.png");
    QVERIFY(!Page.isNull());
    const QRect Area = QRectF(Written.Map_Rect.topLeft() * Scale, Written.Map_Rect.size() * Scale).toRect();
    const QImage Rendered = Page.copy(Area).convertToFormat(QImage::Format_RGB32);

    // The editor's drawing of the same placement, at the same size.
    const auto Placement = Variable_Placement::Analyse(P.Variables);
    QVERIFY(!Placement.Findings.isEmpty());
    QImage Drawn(Area.size(), QImage::Format_RGB32);
    QFont Font("DejaVu Sans");
    Font.setPointSizeF(Written.Map_Font_Points);
    Font.setPixelSize(qRound(Written.Map_Font_Points * Scale));
    Font.setStyleStrategy(QFont::PreferNoShaping);
    const Variable_Map_Frame Frame{QSizeF(Area.size()), Written.Map_Margin * Scale, Font, Qt::white, Qt::black};
    {
        QPainter Painter(&Drawn);
        Paint_Variable_Map(Painter, Placement, Frame);
    }
    // Every byte cell, looked at above its label, below its grid line and in
    // the middle of bit 4 (where a digital variable on that bit is marked); a
    // hatched cell is left out, its pattern may start elsewhere in the PDF.
    const qreal Cell_W = (Frame.Size.width() - Frame.Margin - 1) / Variable_Map::Cells_Per_Line;
    const qreal Cell_H = (Frame.Size.height() - 1) / Variable_Map::Lines;
    int Differing = 0;
    QStringList Examples;
    int Hatched = 0;
    for (int Byte = 0; Byte < Variable_Placement::Array_Size; ++Byte) {
        if (Placement.Collides[size_t(Byte)] && !Placement.Users[size_t(Byte)].isEmpty()
            && Placement.Variables[Placement.Users[size_t(Byte)].first()].Bit < 0) {
            ++Hatched;
            continue;
        }
        const QPoint At(qRound(Frame.Margin + (Byte % Variable_Map::Cells_Per_Line + 3.5 / 8) * Cell_W),
                        qRound((Byte / Variable_Map::Cells_Per_Line + 0.12) * Cell_H));
        const QColor A = Rendered.pixelColor(At);
        const QColor B = Drawn.pixelColor(At);
        if (std::abs(A.red() - B.red()) + std::abs(A.green() - B.green()) + std::abs(A.blue() - B.blue()) > 60) {
            ++Differing;
            if (Examples.size() < 5)
                Examples << QString("byte %1: %2 vs %3").arg(Byte).arg(A.name(), B.name());
        }
    }
    QVERIFY2(Differing == 0, qPrintable(Examples.join("; ")));
    QVERIFY(Hatched > 0);
    // The findings are under the map.
    const QString Text = Pdf_Text(Pdf).split(u'\f')[Written.Map_Page - 1];
    for (const QString& Line : Variable_Placement::Finding_Texts(Placement, P.Space.Lang_Strings))
        QVERIFY2(Text.simplified().contains(Line.simplified()), qPrintable(Line));
}

void Test_Report_Pdf::Unwritable_Target_Keeps_Old_File()
{
    Plant P;
    Fixed_Separator Point(".");
    const QString Target = P.Dir.path() + "/no/such/folder/r.pdf";
    const auto Refused = Review::Write_Report(P.Space, Point, {Target, QPageSize::A4, QDateTime::currentDateTime()});
    QVERIFY(!Refused);
    QVERIFY2(Refused.error().contains(QDir::toNativeSeparators(Target)), qPrintable(Refused.error()));

    // A malformed project file is refused with its reason; the old report stays.
    const QString Old = P.Dir.path() + "/old.pdf";
    Test_Support::Write_File(Old, "%PDF old");
    Test_Support::Write_File(P.Space.File_IEC61850_Variables, "<IEC61850_Variables><row");
    const auto Malformed = Review::Write_Report(P.Space, Point, {Old, QPageSize::A4, QDateTime::currentDateTime()});
    QVERIFY(!Malformed);
    QCOMPARE(Read_File(Old), QByteArray("%PDF old"));
    QVERIFY(!QFile::exists(Old + ".part"));
}

// "sw40610 report" started as a shell starts it, with the file-size limit
// signal at its default (it would end the program halfway through the file)
// and a limit far below the report's size: the write fails with the
// system's reason, exit code 3, the old report as it was and nothing beside it.
void Test_Report_Pdf::Command_Past_A_File_Size_Limit()
{
#ifdef Q_OS_WIN
    QSKIP("on Windows there is no file-size limit (setrlimit, SIGXFSZ) to make a write fail halfway");
#else
    Plant P;
    const QString Old = P.Space.Project_Dir + "/Plant North-report.pdf";
    Test_Support::Write_File(Old, "%PDF-1.4 the accepted report");
    const QStringList Before = QDir(P.Space.Project_Dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    QProcess Process;
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.remove(QStringLiteral("DISPLAY"));
    Env.insert(QStringLiteral("HOME"), P.Dir.path());
    Env.insert(QStringLiteral("XDG_CACHE_HOME"), P.Dir.path() + "/cache");
    Env.insert(QStringLiteral("XDG_RUNTIME_DIR"), P.Dir.path() + "/runtime");
    QDir().mkpath(P.Dir.path() + "/runtime");
    QFile::setPermissions(P.Dir.path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Process.setProcessEnvironment(Env);
    Process.setChildProcessModifier([] {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit Limit{};
        getrlimit(RLIMIT_FSIZE, &Limit);
        Limit.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &Limit);
    });
    Process.start(Test_Support::Built_Program(), {"report", P.Space.Project_Dir});
    QVERIFY(Process.waitForFinished(60000));
    const QString Err = QString::fromLocal8Bit(Process.readAllStandardError());
    QCOMPARE(Process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(Process.exitCode(), 3);
    QVERIFY2(Err.contains(QDir::toNativeSeparators(Old) + ": " + qt_error_string(EFBIG)), qPrintable(Err));
    QVERIFY(Process.readAllStandardOutput().isEmpty());
    QCOMPARE(Read_File(Old), QByteArray("%PDF-1.4 the accepted report"));
    QCOMPARE(QDir(P.Space.Project_Dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), Before);
#endif
}

// Opening an encrypted key costs its whole key derivation, with a wrong
// password as with the right one (seconds at the iteration ceiling): the
// report and the findings it lists read every text through one reader, so
// each key and certificate is opened once.
void Test_Report_Pdf::Encrypted_Key_Opened_Once()
{
    REQUIRE_POPPLER();
    Plant P;
    Par_Gen::Values Par = Par_Gen::Load(P.Space.File_ParGen);
    const QString Key = P.Pki.Server_Key.Encrypted_Pem("the right one");
    Par[Par_Gen::TLS_Server_Key] = Key;
    Par[Par_Gen::TLS_Server_Key_Password] = "a wrong one";
    QVERIFY(Par_Gen::Save(P.Space.File_ParGen, Par));

    QMap<std::pair<QString, QString>, int> Readings;
    const QString Marker = "opened by the one reader of the report";
    Certificates::Pem_Reader Reader([&](const QString& Pem, const QString& Password) {
        ++Readings[{Pem, Password}];
        Certificates::Pem_Contents Found = Certificates::Read_Pem(Pem, Password).value();
        // The findings name the reason a key stays closed: this one shows
        // that they came through this reader too.
        for (Certificates::Private_Key_Info& Closed : Found.Keys)
            if (!Closed.Opened)
                Closed.Error = Marker;
        return Found;
    });
    Fixed_Separator Point(".");
    const QString Pdf = P.Dir.path() + "/r.pdf";
    Review::Report_Request Request{Pdf, QPageSize::A4, QDateTime::currentDateTime()};
    Request.Reader = &Reader;
    const auto Written = Review::Write_Report(P.Space, Point, Request);
    if (!Written)
        QFAIL(qPrintable(Written.error()));

    QCOMPARE(Readings.value({Key, "a wrong one"}), 1);
    for (auto It = Readings.cbegin(); It != Readings.cend(); ++It)
        QVERIFY2(It.value() == 1, qPrintable(It.key().first.left(40)));
    const QString Text = Pdf_Text(Pdf).simplified();
    QVERIFY2(Text.contains(P.Space.Lang_Strings[1433]), "the key is not shown as encrypted");
    QVERIFY2(Text.contains(Marker), "the findings read the key on their own");
}

void Test_Report_Pdf::Report_Button_Proposes_Name()
{
    Program_Folder F;
    F.Add_Project("Line 4");
    F.Remember_Project("Line 4");
    Scripted_Save_Dialog Dialog;
    Platform_Services Services;
    Services.Save_Dialog = &Dialog;
    F.Start(Services);
    // Cancelled: nothing written, nothing said.
    F.Click("Btn_Report");
    QCOMPARE(Dialog.Requests.size(), 1);
    QCOMPARE(Dialog.Requests[0].Preset_Name, QString("Line 4-report.pdf"));
    QCOMPARE(Dialog.Requests[0].Initial_Folder, F.Space.Project_Dir);
    QCOMPARE(Dialog.Requests[0].Filter_Pattern, QString("*.pdf"));
    QVERIFY(F.Prompts.Messages.isEmpty());

    Dialog.Answer = F.Dir.path() + "/chosen.pdf";
    F.Click("Btn_Report");
    QVERIFY(Read_File(F.Dir.path() + "/chosen.pdf").startsWith("%PDF"));
    QCOMPARE(F.Prompts.Last_Text(), "Report written: " + QDir::toNativeSeparators(F.Dir.path() + "/chosen.pdf"));

    // Without a configuration the step is refused as the others are.
    F.Space.Activate_Project(QString());
    F.Click("Btn_Report");
    QCOMPARE(Dialog.Requests.size(), 2);
    QCOMPARE(F.Prompts.Last_Text(), QString("Error! Project not Valid: no configuration is open. Open or create one with step 1 first."));
}

QTEST_MAIN(Test_Report_Pdf)
#include "test_report_pdf.moc"
