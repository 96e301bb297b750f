// Reading the program's XML files: what is not well-formed XML is refused
// with the file, the line and column and the parser's message, and nothing
// of it is read; what is well-formed is read by the project-file rule.

#include "platform/Xml_File.h"
#include "support/Test_Files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using Test_Support::Write_File;

namespace {

QByteArray Utf16(const QString& Text, bool Big_Endian)
{
    QByteArray Bytes = Big_Endian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar C : Text) {
        const char High = static_cast<char>(C.unicode() >> 8);
        const char Low = static_cast<char>(C.unicode() & 0xFF);
        Bytes.append(Big_Endian ? High : Low);
        Bytes.append(Big_Endian ? Low : High);
    }
    return Bytes;
}

QByteArray Utf32_Le(const QString& Text)
{
    QByteArray Bytes("\xFF\xFE\x00\x00", 4);
    for (const char32_t C : Text.toUcs4())
        for (int Shift = 0; Shift < 32; Shift += 8)
            Bytes.append(static_cast<char>((C >> Shift) & 0xFF));
    return Bytes;
}

} // namespace

class Test_Xml_File : public QObject {
    Q_OBJECT
private slots:
    void Refused_data();
    void Refused();
    void Accepted_data();
    void Accepted();
    void Refusal_Replaces_The_Previous_Document();
    void Entity_Expansion_Is_Bounded_data();
    void Entity_Expansion_Is_Bounded();
    void Special_Files_Are_Refused_data();
    void Special_Files_Are_Refused();
    void Fifo_Is_Refused_Without_Blocking();
};

void Test_Xml_File::Refused_data()
{
    QTest::addColumn<QByteArray>("Bytes");
    QTest::addColumn<int>("Line");
    QTest::addColumn<int>("Column");

    // Characters XML forbids, by reference and as bytes.
    QTest::newRow("NUL by reference") << QByteArray("<r>\n<v>&#0;</v></r>") << 2 << 7;
    QTest::newRow("control character by reference") << QByteArray("<r>\n<v>ab&#x1B;</v></r>") << 2 << 11;
    QTest::newRow("surrogate by reference") << QByteArray("<r><v>&#xD800;</v></r>") << 1 << 14;
    QTest::newRow("beyond Unicode by reference") << QByteArray("<r><v>&#x110000;</v></r>") << 1 << 16;
    QTest::newRow("control byte") << QByteArray("<r>\n\n<v>a\x01</v></r>") << 3 << 5;
    QTest::newRow("NUL byte") << QByteArray("<r><v>a\0b</v></r>", 17) << 1 << 8;
    QTest::newRow("U+FFFE as bytes") << QByteArray("<r><v>\xEF\xBF\xBE</v></r>") << 1 << 7;

    // Bytes that are no character of the document's encoding: the column is
    // the character where they start.
    QTest::newRow("invalid UTF-8 byte") << QByteArray("<r>\n<v>\xC3\xA9\xC3\xA9\xFF</v></r>") << 2 << 6;
    QTest::newRow("cut UTF-8 sequence") << QByteArray("<r><v>\xE2\x82</v></r>") << 1 << 7;
    QTest::newRow("overlong UTF-8") << QByteArray("<r><v>\xC0\xBC</v></r>") << 1 << 7;
    QTest::newRow("surrogate as UTF-8") << QByteArray("<r><v>\xED\xA0\x80</v></r>") << 1 << 7;
    QTest::newRow("invalid UTF-8 in an attribute") << QByteArray("<r>\n<row Name=\"a\xFF\"/></r>") << 2 << 13;
    QTest::newRow("invalid UTF-8 after a byte-order mark") << QByteArray("\xEF\xBB\xBF<r>\xFF</r>") << 1 << 4;
    QTest::newRow("UTF-16 lone surrogate")
        << Utf16(QStringLiteral("<r>\n<v>a"), false) + QByteArray("\x00\xD8", 2) + Utf16(QStringLiteral("</v></r>"), false).mid(2)
        << 2 << 5;
    QTest::newRow("UTF-16 odd byte count") << Utf16(QStringLiteral("<r/>"), true) + QByteArray(1, '\0') << 1 << 5;

    // Entities.
    QTest::newRow("undefined entity") << QByteArray("<r>\n<v>a&nbsp;b</v></r>") << 2 << 10;
    QTest::newRow("bare ampersand") << QByteArray("<r><v>a & b</v></r>") << 1 << 10;
    QTest::newRow("ampersand without semicolon") << QByteArray("<r><v>AT&T</v></r>") << 1 << 11;

    // Structure.
    QTest::newRow("element after the root") << QByteArray("<r/>\n<r/>") << 2 << 4;
    QTest::newRow("text after the root") << QByteArray("<r/>\nx") << 2 << 1;
    QTest::newRow("second root after the comment") << QByteArray("<r/><!--SW_VERSION = 1.000--><v/>") << 1 << 33;
    QTest::newRow("duplicated attribute") << QByteArray("<r>\n<row Enable=\"Y\" Enable=\"N\"/></r>") << 2 << 28;
    QTest::newRow("< in an attribute value") << QByteArray("<r><row Name=\"a<b\"/></r>") << 1 << 16;
    QTest::newRow("-- inside a comment") << QByteArray("<r><!-- a -- b --></r>") << 1 << 13;
    QTest::newRow("]]> in text") << QByteArray("<r>]]></r>") << 1 << 6;
    QTest::newRow("mismatched end tag") << QByteArray("<r><v></w></r>") << 1 << 10;
    QTest::newRow("root never closed") << QByteArray("<r>\n<v>1</v>\n") << 3 << 1;
    QTest::newRow("declaration after a blank") << QByteArray(" <?xml version=\"1.0\"?><r/>") << 1 << 22;
    QTest::newRow("no root element") << QByteArray("<!--SW_VERSION = 1.000-->") << 1 << 25;
    QTest::newRow("empty file") << QByteArray() << 1 << 1;

    // The declared encoding must be the one the document is in.
    QTest::newRow("UTF-8 declared as UTF-16") << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-16\"?><r/>") << 1
                                              << 39;
    QTest::newRow("encoding not read") << QByteArray("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><r/>") << 1
                                       << 42;
    QTest::newRow("US-ASCII with a byte above 0x7F")
        << QByteArray("<?xml version=\"1.0\" encoding=\"US-ASCII\"?>\n<r><v>caf\xE9</v></r>") << 2 << 10;
    QTest::newRow("windows-1252 byte it leaves undefined")
        << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<r><v>a\x81</v></r>") << 2 << 8;

    // One document type declaration, before the root element.
    QTest::newRow("DOCTYPE after the root") << QByteArray("<r/>\n<!DOCTYPE r>") << 2 << 1;
    QTest::newRow("DOCTYPE twice") << QByteArray("<!DOCTYPE r>\n <!DOCTYPE r>\n<r/>") << 2 << 2;

    // Names XML does not allow, at the character that breaks the rule.
    QTest::newRow("NUL in an attribute name") << QByteArray("<r>\n<row Na\0me=\"1\"/></r>", 24) << 2 << 8;
    QTest::newRow("backquote in an attribute name") << QByteArray("<r><row Enable=\"Y\" Na`me=\"1\"/></r>") << 1 << 22;
    QTest::newRow("backquote as an attribute name") << QByteArray("<r `=\"1\"/>") << 1 << 4;
    QTest::newRow("attribute name starting with a combining mark")
        << QByteArray("<r>\n  <v \xCC\x81a=\"1\"/></r>") << 2 << 6;
    QTest::newRow("backslash as an entity's name") << QByteArray("<!DOCTYPE r [<!ENTITY \\ \"a\">]><r/>") << 1 << 23;
    QTest::newRow("backslash in an entity's name") << QByteArray("<!DOCTYPE r [<!ENTITY a\\ \"a\">]><r/>") << 1 << 24;
    QTest::newRow("backslash as a parameter entity's name")
        << QByteArray("<!DOCTYPE r [<!ENTITY % \\ \"a\">]><r/>") << 1 << 25;
    QTest::newRow("entity declared on a later line")
        << QByteArray("<!DOCTYPE r [\n  <!ENTITY ok \"1\">\n  <!ENTITY \\ \"a\">\n]>\n<r/>") << 3 << 12;
    QTest::newRow("reference in an entity's value") << QByteArray("<!DOCTYPE r [<!ENTITY a \"&\\;\">]><r/>") << 1 << 27;
    QTest::newRow("notation of an unparsed entity")
        << QByteArray("<!DOCTYPE r [<!ENTITY a SYSTEM \"x\" NDATA \\>]><r/>") << 1 << 42;
    QTest::newRow("element declared by a bad name") << QByteArray("<!DOCTYPE r [<!ELEMENT \\ ANY>]><r/>") << 1 << 24;
    QTest::newRow("attribute declared by a bad name")
        << QByteArray("<!DOCTYPE r [<!ATTLIST r a` CDATA #IMPLIED>]><r/>") << 1 << 27;
    QTest::newRow("notation declared by a bad name")
        << QByteArray("<!DOCTYPE r [<!NOTATION 1n SYSTEM \"x\">]><r/>") << 1 << 25;
    QTest::newRow("document type named badly") << QByteArray("<!DOCTYPE \\><r/>") << 1 << 11;
}

void Test_Xml_File::Refused()
{
    QFETCH(QByteArray, Bytes);
    QFETCH(int, Line);
    QFETCH(int, Column);
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("Doc.xml");
    Write_File(Path, Bytes);

    const QString Place = QStringLiteral("Doc.xml (line %1, column %2): ").arg(Line).arg(Column);
    Xml_File Xml;
    QString Error;
    QCOMPARE(Xml.Load(Path, &Error), Xml_File::Load_Status::Malformed);
    QVERIFY2(Error.startsWith(Place), qPrintable(Error));
    // The parser's description follows the place.
    QVERIFY(Error.size() > Place.size() + 5);
    QVERIFY(!Xml.Root());
    QVERIFY(Xml_File::Check_Well_Formed(Bytes).has_value());

    try {
        Xml.Load_Or_Throw(Path);
        QFAIL("no Xml_Parse_Error");
    } catch (const Xml_Parse_Error& Raised) {
        QCOMPARE(Raised.Message(), Error);
    }
}

void Test_Xml_File::Accepted_data()
{
    QTest::addColumn<QByteArray>("Bytes");
    QTest::addColumn<int>("Root_Type"); // pugi::xml_node_type of the first top-level node
    QTest::addColumn<QString>("Text");  // text of v below the root element

    const QString Doc = QStringLiteral("<r><v>\u00e9\u20ac\U0001F600</v></r>");
    const QString Mixed = QStringLiteral("\u00e9\u20ac\U0001F600");
    QTest::newRow("UTF-8") << Doc.toUtf8() << int(pugi::node_element) << Mixed;
    QTest::newRow("UTF-8 with byte-order mark") << "\xEF\xBB\xBF" + Doc.toUtf8() << int(pugi::node_element) << Mixed;
    QTest::newRow("UTF-16LE with byte-order mark") << Utf16(Doc, false) << int(pugi::node_element) << Mixed;
    QTest::newRow("UTF-16BE with byte-order mark") << Utf16(Doc, true) << int(pugi::node_element) << Mixed;
    QTest::newRow("UTF-16 declared") << Utf16(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>") + Doc, false)
                                     << int(pugi::node_declaration) << Mixed;
    QTest::newRow("UTF-32 with byte-order mark") << Utf32_Le(Doc) << int(pugi::node_element) << Mixed;
    QTest::newRow("ISO-8859-1 declared")
        << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><v>caf\xE9</v></r>")
        << int(pugi::node_declaration) << QStringLiteral("caf\u00e9");
    QTest::newRow("US-ASCII declared")
        << QByteArray("<?xml version=\"1.0\" encoding=\"US-ASCII\"?><r><v>caf&#xE9;</v></r>")
        << int(pugi::node_declaration) << QStringLiteral("caf\u00e9");
    QTest::newRow("windows-1252 declared")
        << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?><r><v>\x80 caf\xE9 \x93q\x94 \x9F</v></r>")
        << int(pugi::node_declaration) << QStringLiteral("\u20ac caf\u00e9 \u201cq\u201d \u0178");
    QTest::newRow("cp1252 declared, lower case")
        << QByteArray("<?xml version='1.0' encoding='cp1252'?><r><v>\x80</v></r>") << int(pugi::node_declaration)
        << QStringLiteral("\u20ac");
    // Entities that expand within bounds; one document type declaration.
    QTest::newRow("DOCTYPE before the root, entities used")
        << QByteArray("<!DOCTYPE r [<!ENTITY e \"0123456789\">]>\n<r><w>&e;&e;&e;</w><v>1</v></r>")
        << int(pugi::node_doctype) << QStringLiteral("1");

    // Whatever comes first is the root, as the readers take it.
    QTest::newRow("declaration first") << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><v>1</v></r>")
                                       << int(pugi::node_declaration) << QStringLiteral("1");
    QTest::newRow("processing instruction first") << QByteArray("<?style x?><r><v>1</v></r>") << int(pugi::node_pi)
                                                  << QStringLiteral("1");
    QTest::newRow("comment first") << QByteArray("<!--c--><r><v>1</v></r>") << int(pugi::node_comment)
                                   << QStringLiteral("1");
    QTest::newRow("comment after the root") << QByteArray("<r><v>1</v></r><!--SW_VERSION = 1.000-->\r\n")
                                            << int(pugi::node_element) << QStringLiteral("1");

    // An element's text is all its character data.
    QTest::newRow("CDATA and text joined") << QByteArray("<r><v>a<![CDATA[<&>]]>b<![CDATA[]]>c</v></r>")
                                           << int(pugi::node_element) << QStringLiteral("a<&>bc");
    QTest::newRow("comment and instruction skipped")
        << QByteArray("<r><v> a<!--x--> <?p q?> b </v></r>") << int(pugi::node_element) << QStringLiteral(" a  b ");
    QTest::newRow("blank text between comments") << QByteArray("<r><v><!--x--> <!--y-->\n</v></r>")
                                                 << int(pugi::node_element) << QStringLiteral(" \n");
    QTest::newRow("nested element's text left out") << QByteArray("<r><v>a<w>b</w>c</v></r>")
                                                    << int(pugi::node_element) << QStringLiteral("ac");
    QTest::newRow("references") << QByteArray("<r><v>&lt;&amp;&#x1F600;&#65;</v></r>") << int(pugi::node_element)
                                << QStringLiteral("<&\U0001F600A");
    QTest::newRow("empty element") << QByteArray("<r><v/></r>") << int(pugi::node_element) << QString("");
    QTest::newRow("C1 control and greater-than") << QByteArray("<r><v>\xC2\x85]></v></r>") << int(pugi::node_element)
                                                 << QStringLiteral("\u0085]>");
    QTest::newRow("undeclared prefix") << QByteArray("<r><x:v>1</x:v><v>2</v></r>") << int(pugi::node_element)
                                       << QStringLiteral("2");
    // Every kind of name XML allows, where the names are checked.
    QTest::newRow("names XML allows")
        << QByteArray("<!DOCTYPE r:s [<!-- a \\ ` comment --><?p q\\?><!ENTITY \xC3\xA9.x-1 \"1\">"
                      "<!ENTITY % p_ \"&#60;!ENTITY q 'w'>\"><!NOTATION n\xC2\xB7 SYSTEM \"u`\">"
                      "<!ENTITY u SYSTEM \"v\\\" NDATA n\xC2\xB7><!ELEMENT v (#PCDATA)>"
                      "<!ATTLIST v a-b CDATA #FIXED \"&\xC3\xA9.x-1;\" c (x|y) 'x'>]>\n"
                      "<r><v a-b=\"&\xC3\xA9.x-1;\" c = 'y' d:e=\"`>\" _\xF0\x90\x80\x80=\"2\">1</v></r>")
        << int(pugi::node_doctype) << QStringLiteral("1");
}

void Test_Xml_File::Accepted()
{
    QFETCH(QByteArray, Bytes);
    QFETCH(int, Root_Type);
    QFETCH(QString, Text);
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("Doc.xml");
    Write_File(Path, Bytes);

    Xml_File Xml;
    QString Error;
    QVERIFY2(Xml.Load(Path, &Error) == Xml_File::Load_Status::Loaded, qPrintable(Error));
    QVERIFY(!Xml_File::Check_Well_Formed(Bytes));
    QCOMPARE(int(Xml.Root().type()), Root_Type);
    // Anything before the root element is told: the reading rule takes it as the root.
    QCOMPARE(Xml.Before_Root().has_value(), Root_Type != int(pugi::node_element));
    QCOMPARE(Xml_File::Child_Text(Xml.Document().document_element(), "v"), std::optional<QString>(Text));
    QVERIFY(Xml.Load_Or_Throw(Path));
}

// A reused document object holds nothing of a file it refused.
void Test_Xml_File::Refusal_Replaces_The_Previous_Document()
{
    QTemporaryDir Dir;
    Write_File(Dir.filePath("Good.xml"), "<r><v>1</v></r>");
    Write_File(Dir.filePath("Bad.xml"), "<r><v>2</v></r><r/>");
    Xml_File Xml;
    QCOMPARE(Xml.Load(Dir.filePath("Good.xml")), Xml_File::Load_Status::Loaded);
    QCOMPARE(Xml_File::Child_Text(Xml.Root(), "v"), std::optional<QString>(QStringLiteral("1")));
    QCOMPARE(Xml.Load(Dir.filePath("Bad.xml")), Xml_File::Load_Status::Malformed);
    QVERIFY(!Xml.Root());
    QCOMPARE(Xml.Load(Dir.filePath("Missing.xml")), Xml_File::Load_Status::Missing);
}

#ifndef Q_OS_WIN
// Loads Path in a child process held to a memory and a processor-time limit
// of its own, so that an unbounded expansion ends the child (killed, or out
// of memory) instead of the test run. The child's exit code: 0 when the load
// was refused with Expected at the start of the message, 1 refused otherwise,
// 2 loaded, 3 out of memory.
int Load_In_Limited_Child(const QString& Path, const QString& Expected)
{
    const pid_t Child = fork();
    if (Child == 0) {
        long Pages = 0;
        if (FILE* Statm = fopen("/proc/self/statm", "r")) {
            if (fscanf(Statm, "%ld", &Pages) != 1)
                Pages = 0;
            fclose(Statm);
        }
        // What the process maps now, plus 512 MB for the load.
        const rlim_t Memory = static_cast<rlim_t>(Pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (512UL << 20);
        const rlimit Address_Space{Memory, Memory};
        setrlimit(RLIMIT_AS, &Address_Space);
        const rlimit Cpu{20, 20};
        setrlimit(RLIMIT_CPU, &Cpu);
        int Code = 1;
        try {
            Xml_File Xml;
            QString Error;
            const Xml_File::Load_Status Status = Xml.Load(Path, &Error);
            Code = Status == Xml_File::Load_Status::Loaded ? 2 : Error.startsWith(Expected) ? 0 : 1;
            if (Code == 1)
                fprintf(stderr, "%s\n", qPrintable(Error));
        } catch (const std::bad_alloc&) {
            Code = 3;
        }
        _exit(Code);
    }
    int Status = 0;
    waitpid(Child, &Status, 0);
    if (WIFSIGNALED(Status))
        return 100 + WTERMSIG(Status);
    return WEXITSTATUS(Status);
}
#endif

void Test_Xml_File::Entity_Expansion_Is_Bounded_data()
{
    QTest::addColumn<QByteArray>("Bytes");
    QTest::addColumn<int>("Line");
    QTest::addColumn<int>("Column");

    // One 4000-character entity referred to a million times, a thousand on a
    // line: the reference that passes ten million characters is the 2501st.
    QByteArray Many = "<!DOCTYPE r [<!ENTITY e \"" + QByteArray(4000, 'x') + "\">]>\n<r>\n";
    const QByteArray Line_Of_References = QByteArray("&e;").repeated(1000) + '\n';
    for (int I = 0; I < 1000; ++I)
        Many += Line_Of_References;
    Many += "</r>";
    QTest::newRow("one entity a million times") << Many << 5 << 1501;

    // Nested entities, each ten of the one before: 10^9 characters at once.
    QByteArray Laughs = "<!DOCTYPE r [\n<!ENTITY l0 \"lol\">\n";
    for (int I = 1; I <= 9; ++I) {
        Laughs += "<!ENTITY l" + QByteArray::number(I) + " \"";
        for (int K = 0; K < 10; ++K)
            Laughs += "&l" + QByteArray::number(I - 1) + ';';
        Laughs += "\">\n";
    }
    Laughs += "]>\n<r>&l9;</r>";
    QTest::newRow("nested entities") << Laughs << 13 << 4;

    // A reference in an attribute's default value counts for every element.
    QByteArray Defaults = "<!DOCTYPE r [<!ENTITY e \"" + QByteArray(4000, 'x')
                        + "\"><!ATTLIST v a CDATA \"&e;\">]>\n<r>" + QByteArray("<v/>").repeated(300000) + "</r>";
    QTest::newRow("entity in an attribute default") << Defaults << 1 << 4049;
}

// The expansion is refused with the place of the reference, before the
// reader expands it: under a few hundred megabytes and seconds of its own.
void Test_Xml_File::Entity_Expansion_Is_Bounded()
{
    QFETCH(QByteArray, Bytes);
    QFETCH(int, Line);
    QFETCH(int, Column);
#ifdef Q_OS_WIN
    Q_UNUSED(Bytes);
    Q_UNUSED(Line);
    Q_UNUSED(Column);
    QSKIP("the load runs in a forked child under memory and processor-time limits (fork, setrlimit), "
          "which Windows has not");
#else
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("Doc.xml");
    Write_File(Path, Bytes);
    QCOMPARE(Load_In_Limited_Child(Path, QStringLiteral("Doc.xml (line %1, column %2): ").arg(Line).arg(Column)), 0);
#endif
}

void Test_Xml_File::Special_Files_Are_Refused_data()
{
    QTest::addColumn<QString>("Kind");
    QTest::addColumn<QString>("Reason");
    QTest::newRow("directory") << QStringLiteral("directory") << QStringLiteral("not a regular file but a folder");
    QTest::newRow("device") << QStringLiteral("device") << QStringLiteral("not a regular file but a device");
    QTest::newRow("link to a device") << QStringLiteral("link") << QStringLiteral("not a regular file but a device");
}

// A path that names something other than a file is no missing file: it is
// refused with what it is, and no defaults stand in for it.
void Test_Xml_File::Special_Files_Are_Refused()
{
    QFETCH(QString, Kind);
    QFETCH(QString, Reason);
    QTemporaryDir Dir;
    QString Path = Dir.filePath("Doc.xml");
    if (Kind == QLatin1String("directory"))
        QVERIFY(QDir(Dir.path()).mkdir("Doc.xml"));
#ifdef Q_OS_WIN
    else if (Kind == QLatin1String("device"))
        Path = QStringLiteral("NUL");  // the system's null device
    else
        QSKIP("QFile::link makes a shortcut (.lnk) on Windows, not a link that the file system follows");
#else
    else if (Kind == QLatin1String("device"))
        Path = QStringLiteral("/dev/null");  // read only, never written
    else
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), Path));
#endif

    Xml_File Xml;
    QString Error;
    QCOMPARE(Xml.Load(Path, &Error), Xml_File::Load_Status::Unreadable);
    QCOMPARE(Error, QFileInfo(Path).fileName() + QStringLiteral(": ") + Reason);
    try {
        Xml.Load_Or_Throw(Path);
        QFAIL("no Xml_Parse_Error");
    } catch (const Xml_Parse_Error& Raised) {
        QCOMPARE(Raised.Message(), Error);
    }
}

// A FIFO is refused at once; were it opened for reading, the load would wait
// for a writer. After the test's own time-out, a writer is opened to release
// it and the test fails.
void Test_Xml_File::Fifo_Is_Refused_Without_Blocking()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no FIFOs (mkfifo) to put in a file's place");
#else
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("Doc.xml");
    QCOMPARE(mkfifo(QFile::encodeName(Path).constData(), 0600), 0);

    std::atomic<bool> Done = false;
    Xml_File::Load_Status Status = Xml_File::Load_Status::Loaded;
    QString Error;
    std::thread Loader([&] {
        Xml_File Xml;
        Status = Xml.Load(Path, &Error);
        Done = true;
    });
    QElapsedTimer Waited;
    Waited.start();
    while (!Done && Waited.elapsed() < 10000)
        QThread::msleep(10);
    const bool Blocked = !Done;
    if (Blocked) {
        const int Writer = ::open(QFile::encodeName(Path).constData(), O_WRONLY | O_NONBLOCK);
        Loader.join();
        if (Writer >= 0)
            ::close(Writer);
    } else {
        Loader.join();
    }
    QVERIFY2(!Blocked, "the load waited on the FIFO");
    QCOMPARE(Status, Xml_File::Load_Status::Unreadable);
    QCOMPARE(Error, QStringLiteral("Doc.xml: not a regular file but a FIFO"));
#endif
}

QTEST_GUILESS_MAIN(Test_Xml_File)
#include "test_xml_file.moc"
