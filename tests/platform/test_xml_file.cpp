// Reading the program's XML files: what is not well-formed XML is refused
// with the file, the line and column and the parser's message, and nothing
// of it is read; what is well-formed is read by the project-file rule.

#include "platform/Xml_File.h"
#include "support/Test_Files.h"

#include <QTemporaryDir>
#include <QTest>

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
    QTest::newRow("encoding not read") << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?><r/>") << 1
                                       << 45;
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
    QCOMPARE(Xml.Load(Path, &Error), Xml_File::Load_Status::Loaded);
    QVERIFY2(Error.isEmpty(), qPrintable(Error));
    QVERIFY(!Xml_File::Check_Well_Formed(Bytes));
    QCOMPARE(int(Xml.Root().type()), Root_Type);
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

QTEST_GUILESS_MAIN(Test_Xml_File)
#include "test_xml_file.moc"
