// The report's layout: no heading, name or word is ever cut, a table row
// stays on one page, a table's heading row stands on every page it runs
// on. Checked on the layout the report was drawn from (each line measured
// against its rectangle) and on the text read back from the PDF.
#include "editors/List_Files.h"
#include "foundation/Workspace.h"
#include "project/Known_Cert_File.h"
#include "project/Par_Gen_File.h"
#include "project/Variables_File.h"
#include "review/Review_Texts.h"
#include "review/Ui_Report_Layout.h"
#include "review/Ui_Report_Pdf.h"
#include "report/Report_Plant.h"
#include "support/Fixed_Separator.h"
#include "support/Test_Certificates.h"

#include <QBuffer>
#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace Layout = Review::Report_Layout;
Q_DECLARE_METATYPE(Layout::Table)

namespace {

// A PDF device to measure on, at the resolution the layout was made for.
struct Measuring {
    QBuffer Sink;
    QPdfWriter Writer{&Sink};
    explicit Measuring(int Resolution) { Writer.setResolution(Resolution); }
};

// Every line stays inside its rectangle and its page's body. Fails with the
// first line that does not.
QString First_Line_Outside(const QList<Layout::Page>& Pages, QPaintDevice* Device)
{
    constexpr qreal Slack = 0.01;
    for (qsizetype P = 0; P < Pages.size(); ++P) {
        const QRectF Body(QPointF(0, 0), Pages[P].Body);
        for (const Layout::Line& L : Pages[P].Lines) {
            const QFontMetricsF M(L.Font, Device);
            const QRectF Ink(L.Baseline.x(), L.Baseline.y() - M.ascent(), M.horizontalAdvance(L.Text),
                             M.ascent() + M.descent());
            if (Ink.left() < L.Box.left() - Slack || Ink.right() > L.Box.right() + Slack
                || Ink.top() < L.Box.top() - Slack || Ink.bottom() > L.Box.bottom() + Slack
                || !Body.adjusted(-Slack, -Slack, Slack, Slack).contains(L.Box))
                return QStringLiteral("page %1: \"%2\" (%3 pt) needs %4 x %5, has %6 x %7")
                    .arg(P + 1)
                    .arg(L.Text.left(60))
                    .arg(L.Font.pointSizeF())
                    .arg(Ink.width())
                    .arg(Ink.height())
                    .arg(L.Box.width())
                    .arg(L.Box.height());
        }
    }
    return {};
}

QStringList Words(const QString& Text) { return Text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts); }

// A cell's lines are its text: whole words (a column that wraps, a heading)
// or whole lines (any other column).
bool Cell_Whole(const Layout::Cell& C, bool Wraps)
{
    if (Wraps || C.Row < 0)
        return Words(C.Lines.join(u' ')) == Words(C.Text);
    return C.Lines == C.Text.split(u'\n');
}

// Where each row of table Number lies: its page (from 0) for every cell,
// and every page the table runs on has its heading row above its rows.
struct Table_Pages {
    QMap<int, QSet<int>> Row_Pages;  // row -> pages its cells are on
    QMap<int, int> Row_Cells;        // row -> number of cells
    QList<int> Pages;                // pages the table's rows are on
    QStringList Faults;
};

Table_Pages Find_Table(const QList<Layout::Page>& Pages, int Number, int Columns)
{
    Table_Pages Found;
    for (int P = 0; P < Pages.size(); ++P) {
        int Heading_Cells = 0;
        qreal Heading_Bottom = 0, Rows_Top = 1e9;
        bool Rows = false;
        for (const Layout::Cell& C : Pages[P].Cells) {
            if (C.Table != Number)
                continue;
            if (C.Row < 0) {
                ++Heading_Cells;
                Heading_Bottom = std::max(Heading_Bottom, C.Rect.bottom());
            } else {
                Rows = true;
                Rows_Top = std::min(Rows_Top, C.Rect.top());
                Found.Row_Pages[C.Row].insert(P);
                ++Found.Row_Cells[C.Row];
            }
        }
        if (!Rows)
            continue;
        Found.Pages.append(P);
        if (Heading_Cells != Columns || Heading_Bottom > Rows_Top + 0.01)
            Found.Faults << QStringLiteral("page %1 has %2 heading cells above its rows").arg(P + 1).arg(Heading_Cells);
    }
    for (auto It = Found.Row_Pages.cbegin(); It != Found.Row_Pages.cend(); ++It)
        if (It.value().size() != 1 || Found.Row_Cells.value(It.key()) != Columns)
            Found.Faults << QStringLiteral("row %1 is on %2 pages with %3 cells")
                                .arg(It.key() + 1)
                                .arg(It.value().size())
                                .arg(Found.Row_Cells.value(It.key()));
    return Found;
}

bool Have_Poppler()
{
    return !QStandardPaths::findExecutable("pdftotext").isEmpty() && !QStandardPaths::findExecutable("pdfinfo").isEmpty();
}

QString Pdf_Text(const QString& Pdf, bool Keep_Layout)
{
    QProcess Process;
    Process.start("pdftotext", Keep_Layout ? QStringList{"-layout", Pdf, "-"} : QStringList{Pdf, "-"});
    if (!Process.waitForFinished(60000) || Process.exitCode() != 0)
        qFatal("pdftotext failed: %s", Process.readAllStandardError().constData());
    return QString::fromUtf8(Process.readAllStandardOutput());
}

// A text of Length letters and digits with no space, different for each Seed.
QString Unbroken(int Seed, int Length)
{
    static const QString Letters = QStringLiteral("bYhfjJkqWmXz0123456789_gpQ");
    QString Text = QStringLiteral("v%1_").arg(Seed, 2, 10, QChar('0'));
    for (int I = 0; Text.size() < Length; ++I)
        Text += Letters[(I * 7 + Seed * 3) % Letters.size()];
    return Text;
}

QString Sentence(int Seed, int Length)
{
    QString Text;
    for (int I = 0; Text.size() < Length; ++I)
        Text += QStringLiteral("Gemessener Wert %1 Überwachung ").arg(Seed * 100 + I);
    return Text.left(Length).trimmed();
}

// The largest configuration the editors make: 50 variables with long names,
// long descriptions and the widest values of every column, 10 known
// certificates with long Mnemonics and long subjects.
struct Largest : Report_Plant {
    QStringList Names;
    QStringList Mnemonics;

    explicit Largest(const QString& Language) : Report_Plant(Language, "plant-north-123", QString())
    {
        QList<QStringList> Variables;
        for (int I = 0; I < 50; ++I) {
            // One name far wider than any column could be, the others as long as plants name them.
            Names << Unbroken(I, I == 7 ? 400 : 60 + I % 5 * 20);
            Mnemonics << (I == 11 ? Unbroken(90 + I, 180) : Sentence(I, 240));
            Variables.append({"Y", Names.last(), "Digital (Bit)", "4", "N", QString::number(1380 + I % 50), "7",
                              "Int to Float", "-1234567.891234", "Y", "Y", Mnemonics.last()});
        }
        QVERIFY(Variables_File::Save(Space.File_IEC61850_Variables, Variables));

        const Test_Pki::Made_Key Key = Test_Pki::Make_Key(Test_Pki::Key_Type::EC_P256);
        QList<QStringList> Known;
        for (int I = 0; I < 10; ++I) {
            Test_Pki::Certificate_Request Request;
            Request.Common_Name = Unbroken(I, 64);
            Request.Organisation = Sentence(I, 64);
            Request.Subject_Key = &Key;
            Request.Issuer = &Pki.Root;
            Request.Issuer_Key = &Pki.Root_Key;
            Request.Not_Before = Pki.Now.addDays(-1);
            Request.Not_After = Pki.Now.addYears(2);
            Request.Serial = 100 + I;
            Mnemonics << (I == 3 ? Unbroken(200 + I, 150) : Sentence(20 + I, 200));
            Known.append({I % 2 ? "N" : "Y", Test_Pki::Make_Certificate(Request).Pem(), Mnemonics.last()});
        }
        QVERIFY(Known_Cert_File::Save(Space.File_TLS_Known_Cert, Known));
    }
};

QStringList Languages()
{
    QStringList Names{QStringLiteral("English")};
    for (QString File : QDir(SW_RESOURCES_DIR "/LANGUAGE").entryList({"*.lng"}, QDir::Files, QDir::Name)) {
        File.chop(4);
        Names << File;
    }
    return Names;
}

} // namespace

class Test_Report_Layout : public QObject {
    Q_OBJECT
private slots:
    void Largest_Configuration_Nothing_Cut_data();
    void Largest_Configuration_Nothing_Cut();
    void Table_Keeps_Words_And_Rows_Whole_data();
    void Table_Keeps_Words_And_Rows_Whole();
    void Wrap_Only_At_Spaces();
};

void Test_Report_Layout::Largest_Configuration_Nothing_Cut_data()
{
    QTest::addColumn<QString>("Language");
    QTest::addColumn<int>("Page");
    for (const QString& Language : Languages())
        QTest::newRow(qPrintable(Language + ", A4")) << Language << int(QPageSize::A4);
    QTest::newRow("English, Letter") << "English" << int(QPageSize::Letter);
}

void Test_Report_Layout::Largest_Configuration_Nothing_Cut()
{
    QFETCH(QString, Language);
    QFETCH(int, Page);
    Largest Plant(Language);
    const Lang_Table& Lang = Plant.Space.Lang_Strings;
    const QString Pdf = Plant.Dir.path() + "/report.pdf";
    Fixed_Separator Point(".");
    const auto Written = Review::Write_Report(Plant.Space, Point,
                                              {Pdf, QPageSize::PageSizeId(Page), QDateTime::currentDateTime()});
    if (!Written)
        QFAIL(qPrintable(Written.error()));
    const QList<Layout::Page>& Pages = Written->Layout;
    QCOMPARE(Pages.size(), Written->Pages);

    Measuring Device(Written->Resolution);
    const QString Outside = First_Line_Outside(Pages, &Device.Writer);
    QVERIFY2(Outside.isEmpty(), qPrintable(Outside));

    // The variables table: the one with the editor's thirteen headings.
    int Variables = -1;
    for (const Layout::Page& P : Pages)
        for (const Layout::Cell& C : P.Cells)
            if (C.Row < 0 && C.Column == IEC61850_Variables::Col_Conversion && C.Text == Lang[IEC61850_Variables::Header_Slot(IEC61850_Variables::Col_Conversion)])
                Variables = C.Table;
    QVERIFY(Variables >= 0);
    const Table_Pages Table = Find_Table(Pages, Variables, 13);
    QVERIFY2(Table.Faults.isEmpty(), qPrintable(Table.Faults.join("; ")));
    QCOMPARE(Table.Row_Pages.size(), 50);
    for (int P : Table.Pages)
        QCOMPARE(Pages[P].Orientation, QPageLayout::Landscape);

    // Every cell of every table holds its text whole; a name on one line.
    for (const Layout::Page& P : Pages)
        for (const Layout::Cell& C : P.Cells) {
            const bool Wraps = C.Table != Variables || C.Column == IEC61850_Variables::Col_Mnemonic;
            QVERIFY2(Cell_Whole(C, Wraps), qPrintable(C.Text.left(80) + " became " + C.Lines.join(" | ").left(200)));
            if (C.Table == Variables && C.Row >= 0 && C.Column == IEC61850_Variables::Col_Name)
                QCOMPARE(C.Lines, QStringList{Plant.Names[C.Row]});
        }

    if (!Have_Poppler())
        QSKIP("pdftotext and pdfinfo (Debian package poppler-utils) are needed to read the PDF back");
    // Read back: every name whole, every word of a description whole.
    const QString Text = Pdf_Text(Pdf, false);
    for (const QString& Name : Plant.Names)
        QVERIFY2(Text.contains(Name), qPrintable(Name));
    const QStringList All_Words = Words(Text);
    const QSet<QString> Read_Words(All_Words.cbegin(), All_Words.cend());
    for (const QString& Mnemonic : Plant.Mnemonics)
        for (const QString& Word : Words(Mnemonic))
            QVERIFY2(Read_Words.contains(Word), qPrintable(Word));
    for (int Column = 0; Column < 13; ++Column)
        for (const QString& Word : Words(Lang[IEC61850_Variables::Header_Slot(Column)]))
            QVERIFY2(Read_Words.contains(Word), qPrintable(Word));
    // Each page drawn in the orientation it was laid out in.
    QProcess Info;
    Info.start("pdfinfo", {"-f", "1", "-l", QString::number(Written->Pages), Pdf});
    QVERIFY(Info.waitForFinished(60000));
    const QString Sizes = QString::fromUtf8(Info.readAllStandardOutput());
    for (int P = 0; P < Written->Pages; ++P) {
        const QRegularExpressionMatch Size =
            QRegularExpression(QStringLiteral("Page +%1 size: +([0-9.]+) x ([0-9.]+)").arg(P + 1)).match(Sizes);
        QVERIFY2(Size.hasMatch(), qPrintable(Sizes));
        QCOMPARE(Size.captured(1).toDouble() > Size.captured(2).toDouble(),
                 Pages[P].Orientation == QPageLayout::Landscape);
    }
    // Each page keeps its number.
    const QStringList Read_Pages = Pdf_Text(Pdf, true).split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(Read_Pages.size(), Written->Pages);
    for (int P = 0; P < Read_Pages.size(); ++P)
        QVERIFY2(Read_Pages[P].contains(Lang[Report_Text::Page_Of].arg(P + 1).arg(Written->Pages)),
                 qPrintable(QString::number(P + 1)));
}

// Tables on a page made narrow enough to force each case.
void Test_Report_Layout::Table_Keeps_Words_And_Rows_Whole_data()
{
    QTest::addColumn<Layout::Table>("Grid");
    QTest::addColumn<qreal>("Page_Mm");  // width and height of the page

    Layout::Table Many;  // thirteen columns on a small page: type shrinks, words stay
    Many.Headers = {"N", "Enable", "Name", "Type", "Length", "Read Only", "Position", "Start Bit", "Conversion",
                    "Molt. Factor", "Swap", "Swap Word", "Mnemonic"};
    for (int R = 0; R < 30; ++R)
        Many.Rows.append({QString::number(R + 1), "Y", Unbroken(R, 40), "Digital (Bit)", "4", "N", "1437", "7",
                          "Int to Float", "None", "N", "N", Sentence(R, 80)});
    Many.Wraps = QList<bool>(12, false) << true;
    QTest::newRow("thirteen columns on A5") << Many << 148.0;

    Layout::Table Wide;  // one word wider than the whole page
    Wide.Headers = {"Name", "Value"};
    Wide.Rows = {{Unbroken(1, 500), "x"}, {"short", Unbroken(2, 300)}};
    Wide.Wraps = {true, true};
    QTest::newRow("a word wider than the page") << Wide << 148.0;

    Layout::Table Tall;  // a row taller than a page
    Tall.Headers = {"N", "Mnemonic"};
    Tall.Rows = {{"1", "short"}, {"2", Sentence(3, 20000)}, {"3", "after"}};
    Tall.Wraps = {false, true};
    QTest::newRow("a row taller than the page") << Tall << 148.0;

    Layout::Table Long;  // many pages: the heading on each, no row split
    Long.Headers = {"Row", "A heading of several words that wraps", "Text"};
    for (int R = 0; R < 200; ++R)
        Long.Rows.append({QString::number(R + 1), Unbroken(R, 12), Sentence(R, R % 7 * 40)});
    Long.Wraps = {false, false, true};
    QTest::newRow("two hundred rows") << Long << 148.0;
}

void Test_Report_Layout::Table_Keeps_Words_And_Rows_Whole()
{
    QFETCH(Layout::Table, Grid);
    QFETCH(qreal, Page_Mm);
    Layout::Page_Setup Setup;
    Setup.Size = QPageSize(QSizeF(Page_Mm, Page_Mm), QPageSize::Millimeter);
    Measuring Device(Setup.Resolution);
    const QList<Layout::Page> Pages =
        Layout::Lay_Out({Layout::Heading("Heading"), Layout::Paragraph(Sentence(1, 300)), Layout::Grid(Grid)}, Setup,
                        &Device.Writer);

    const QString Outside = First_Line_Outside(Pages, &Device.Writer);
    QVERIFY2(Outside.isEmpty(), qPrintable(Outside));
    const Table_Pages Table = Find_Table(Pages, 0, int(Grid.Headers.size()));
    QVERIFY2(Table.Faults.isEmpty(), qPrintable(Table.Faults.join("; ")));
    QCOMPARE(Table.Row_Pages.size(), Grid.Rows.size());
    for (const Layout::Page& P : Pages)
        for (const Layout::Cell& C : P.Cells) {
            QVERIFY2(Cell_Whole(C, Grid.Wraps.value(C.Column)),
                     qPrintable(C.Text.left(80) + " became " + C.Lines.join(" | ").left(200)));
            QVERIFY(C.Rect.right() <= P.Body.width() + 0.01);
        }
}

void Test_Report_Layout::Wrap_Only_At_Spaces()
{
    Measuring Device(300);
    const QFont Font = Layout::Font(9);
    const qreal Word = QFontMetricsF(Font, &Device.Writer).horizontalAdvance("Conversion");
    // Narrower than the word: the word stands whole on its own line.
    QCOMPARE(Layout::Wrap_At_Spaces("Molt. Conversion Factor", Font, &Device.Writer, Word * 0.8, Word * 0.8),
             (QStringList{"Molt.", "Conversion", "Factor"}));
    // A line break stays; blanks between words are one space.
    QCOMPARE(Layout::Wrap_At_Spaces("a  b\nc", Font, &Device.Writer, Word * 10, Word * 10), (QStringList{"a b", "c"}));
    // A first line shortened by a label: a word that does not fit there starts on the next.
    QCOMPARE(Layout::Wrap_At_Spaces("Conversion", Font, &Device.Writer, Word * 2, Word / 2),
             (QStringList{QString(), "Conversion"}));
}

QTEST_MAIN(Test_Report_Layout)
#include "test_report_layout.moc"
