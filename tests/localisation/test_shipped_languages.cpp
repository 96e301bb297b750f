// Every language file shipped in resources/LANGUAGE is checked against the
// built-in table, so a slot added to the program without a translation, a
// mistyped line that the loader would silently skip, or a lost blank at the
// joint of a composed message fails here and not in front of a user.
#include "foundation/Lang_Strings.h"
#include "localisation/Language_Files.h"
#include "localisation/Ui_Qt_Translation.h"
#include "support/Test_Support.h"

#include <QDir>
#include <QImage>
#include <QMap>
#include <QTest>
#include <QTranslator>

namespace {

QString Shipped_Dir()
{
    return QStringLiteral(SW_RESOURCES_DIR "/LANGUAGE");
}

QStringList Shipped_Languages()
{
    QStringList Names = QDir(Shipped_Dir()).entryList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name);
    for (QString& Name : Names)
        Name.chop(4);
    return Names;
}

bool Is_Blank(QChar C) { return C.unicode() <= 0x20; }

// The lines of a decoded file, split the way the loader splits them.
QStringList Split_Lines(const QString& Text)
{
    QString Unified = Text;
    Unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Unified.split(QLatin1Char('\n'));
}

// A table whose every slot holds a marker no file line can produce, so the
// one slot a line sets is the one that no longer holds it.
const QString Marker = QStringLiteral("\u0001unset");

Lang_Table Marked_Table()
{
    Lang_Table Table;
    Table.Create_Default_Strings();
    for (int I = 0; I < Table.Count(); ++I)
        Table.Set(I, Marker);
    return Table;
}

struct Read_Result {
    QMap<int, QString> Texts; // slot -> text, in the loader's reading
    QStringList Faults;       // ignored lines and slots given twice
};

Read_Result Read_Language(const QString& Path)
{
    Read_Result Result;
    const QByteArray Bytes = Test_Support::Read_File(Path);
    if (!Bytes.startsWith("\xEF\xBB\xBF"))
        Result.Faults << QStringLiteral("no UTF-8 byte-order mark");
    const QStringList Lines = Split_Lines(Decode_Lang_File(Bytes));
    const Lang_Table Fresh = Marked_Table();
    for (qsizetype N = 0; N < Lines.size(); ++N) {
        if (Lines[N].trimmed().isEmpty())
            continue;
        Lang_Table Probe = Fresh;
        if (!Apply_Lang_Line(Probe, Lines[N])) {
            Result.Faults << QStringLiteral("line %1 is ignored: %2").arg(N + 1).arg(Lines[N]);
            continue;
        }
        for (int Slot = 0; Slot < Probe.Count(); ++Slot) {
            if (Probe[Slot] == Marker)
                continue;
            if (Result.Texts.contains(Slot))
                Result.Faults << QStringLiteral("line %1 gives slot %2 a second time").arg(N + 1).arg(Slot);
            Result.Texts.insert(Slot, Probe[Slot]);
        }
    }
    return Result;
}

QMap<int, QString> Built_In_Texts()
{
    Lang_Table Table;
    Table.Create_Default_Strings();
    QMap<int, QString> Texts;
    for (int I = 0; I < Table.Count(); ++I)
        if (Table[I] != QStringLiteral(" "))
            Texts.insert(I, Table[I]);
    return Texts;
}

} // namespace

class Test_Shipped_Languages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void Language_File_data();
    void Language_File();
    void Flag_Picture_data();
    void Flag_Picture();
    void Options_Dialog_Lists_Every_Language();
    void Qt_Texts_Follow_The_Language_data();
    void Qt_Texts_Follow_The_Language();

private:
    void Add_Language_Rows();
};

void Test_Shipped_Languages::initTestCase()
{
    QVERIFY2(!Shipped_Languages().isEmpty(), qPrintable("no language files in " + Shipped_Dir()));
}

void Test_Shipped_Languages::Add_Language_Rows()
{
    QTest::addColumn<QString>("Name");
    for (const QString& Name : Shipped_Languages())
        QTest::newRow(Name.toUtf8().constData()) << Name;
}

void Test_Shipped_Languages::Language_File_data() { Add_Language_Rows(); }

// Loads without an ignored line, covers exactly the built-in slots, keeps the
// blanks where the English text has them (texts joined with numbers and other
// texts rely on them) and is a translation, not a copy of English.
void Test_Shipped_Languages::Language_File()
{
    QFETCH(QString, Name);
    const Read_Result File = Read_Language(Shipped_Dir() + QLatin1Char('/') + Name + QStringLiteral(".lng"));
    QVERIFY2(File.Faults.isEmpty(), qPrintable(File.Faults.join(QLatin1Char('\n'))));

    const QMap<int, QString> English = Built_In_Texts();
    QStringList Missing;
    QStringList Extra;
    QStringList Blanks;
    int Same_As_English = 0;
    for (auto It = English.cbegin(); It != English.cend(); ++It) {
        if (!File.Texts.contains(It.key())) {
            Missing << QString::number(It.key());
            continue;
        }
        const QString& Text = File.Texts[It.key()];
        const QString& Original = It.value();
        const bool Lost_Lead = Is_Blank(Original.front()) && (Text.isEmpty() || !Is_Blank(Text.front()));
        const bool Lost_Tail = Is_Blank(Original.back()) && (Text.isEmpty() || !Is_Blank(Text.back()));
        if (Text.trimmed().isEmpty() || Lost_Lead || Lost_Tail)
            Blanks << QStringLiteral("%1: \"%2\" for \"%3\"").arg(It.key()).arg(Text, Original);
        Same_As_English += Text == Original;
    }
    for (auto It = File.Texts.cbegin(); It != File.Texts.cend(); ++It)
        if (!English.contains(It.key()))
            Extra << QString::number(It.key());
    QVERIFY2(Missing.isEmpty(), qPrintable("slots without a translation: " + Missing.join(QLatin1Char(' '))));
    QVERIFY2(Extra.isEmpty(), qPrintable("slots the program does not fill: " + Extra.join(QLatin1Char(' '))));
    QVERIFY2(Blanks.isEmpty(), qPrintable("texts that lose their blanks:\n" + Blanks.join(QLatin1Char('\n'))));
    QVERIFY2(Same_As_English * 10 <= English.size(),
             qPrintable(QStringLiteral("%1 of %2 texts are left in English").arg(Same_As_English).arg(English.size())));

    // Loaded whole, the file wins over every default it names.
    Lang_Table Table;
    Table.Create_Default_Strings();
    Load_Lang_File(Table, Shipped_Dir() + QLatin1Char('/') + Name + QStringLiteral(".lng"));
    for (auto It = File.Texts.cbegin(); It != File.Texts.cend(); ++It)
        QCOMPARE(Table[It.key()], It.value());
}

void Test_Shipped_Languages::Flag_Picture_data() { Add_Language_Rows(); }

void Test_Shipped_Languages::Flag_Picture()
{
    QFETCH(QString, Name);
    const QString Path = Shipped_Dir() + QLatin1Char('/') + Name + QStringLiteral(".bmp");
    QVERIFY2(QFile::exists(Path), qPrintable(Path + " is missing"));
    QImage Picture;
    QVERIFY2(Picture.load(Path, "BMP"), qPrintable(Path + " does not load as a bitmap"));
    QCOMPARE(Picture.size(), QSize(48, 48));
    QCOMPARE(Flag_Picture_Candidates(Shipped_Dir(), Name).value(0), Path);
}

// A file the options dialog would leave out (read-only, not a plain file) is
// as good as not shipped.
void Test_Shipped_Languages::Options_Dialog_Lists_Every_Language()
{
    QStringList Listed = List_Language_Files(Shipped_Dir());
    for (QString& Name : Listed)
        Name.chop(4);
    for (const QString& Name : Shipped_Languages())
        QVERIFY2(Listed.contains(Name), qPrintable(Name + " is not offered"));
}

void Test_Shipped_Languages::Qt_Texts_Follow_The_Language_data() { Add_Language_Rows(); }

// The Yes and No of a question come from Qt, not from the table: in a
// shipped language they must not stay English.
void Test_Shipped_Languages::Qt_Texts_Follow_The_Language()
{
    QFETCH(QString, Name);
    const auto Yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    QVERIFY2(!Qt_Language_Code(Name).isEmpty(), qPrintable(Name + " has no Qt language"));
    QVERIFY(Apply_Qt_Translation(Name));
    const QString Translated = Yes();
    QVERIFY2(Translated != QStringLiteral("&Yes"), qPrintable(Translated));
    // A second language replaces the first, English takes Qt back to its own texts.
    QVERIFY(!Apply_Qt_Translation(QStringLiteral("English")));
    QCOMPARE(Yes(), QStringLiteral("&Yes"));
    QVERIFY(Apply_Qt_Translation(Name));
    QVERIFY(Apply_Qt_Translation(Name));
    QCOMPARE(Yes(), Translated);
    QCOMPARE(QCoreApplication::instance()->findChildren<QTranslator*>().size(), 1);
    Apply_Qt_Translation(QStringLiteral("English"));
}

QTEST_GUILESS_MAIN(Test_Shipped_Languages)
#include "test_shipped_languages.moc"
