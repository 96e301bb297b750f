#include "editors/Variables_Csv.h"
#include "checks/Project_Checks.h"

#include "editors/Editor_Texts.h"
#include "foundation/Foundation_Texts.h"
#include "foundation/Lang_Strings.h"
#include "foundation/Text_Rules.h"
#include "platform/File_Write.h"
#include "platform/Open_File_Dialog.h"
#include "project/Variables_File.h"
#include "platform/Prompter.h"
#include "platform/Save_File_Dialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <csv.h>

#include <array>
#include <memory>

namespace Variables_Csv {

namespace {

constexpr int Name_Field = 1;
const QByteArray Bom("\xEF\xBB\xBF");

// A field text as the cell holds it: no blanks are dropped, whatever the separator.
int No_Space(unsigned char) { return 0; }

struct Parser {
    csv_parser State{};
    explicit Parser(unsigned char Separator)
    {
        csv_init(&State, CSV_STRICT | CSV_STRICT_FINI);
        csv_set_delim(&State, Separator);
        csv_set_space_func(&State, No_Space);
    }
    ~Parser() { csv_free(&State); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;
};

bool Needs_Quotes(const QByteArray& Field)
{
    if (Field.isEmpty())
        return false;
    for (const char C : Field)
        if (C == ',' || C == ';' || C == '\t' || C == '"' || C == '\r' || C == '\n')
            return true;
    return Field.front() == ' ' || Field.back() == ' ';
}

QByteArray Csv_Field(const QString& Text)
{
    const QByteArray Raw = Text.toUtf8();
    if (!Needs_Quotes(Raw))
        return Raw;
    QByteArray Quoted(static_cast<qsizetype>(csv_write(nullptr, 0, Raw.constData(), Raw.size())), '\0');
    csv_write(Quoted.data(), Quoted.size(), Raw.constData(), Raw.size());
    return Quoted;
}

// The line (from 1) of the first byte that is not valid UTF-8, or 0.
int Invalid_Utf8_Line(const QByteArray& Bytes)
{
    int Line = 1;
    qsizetype Start = 0;
    while (Start <= Bytes.size()) {
        qsizetype End = Bytes.indexOf('\n', Start);
        if (End < 0)
            End = Bytes.size();
        QStringDecoder Decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString Ignored = Decoder.decode(QByteArrayView(Bytes).sliced(Start, End - Start));
        if (Decoder.hasError())
            return Line;
        ++Line;
        Start = End + 1;
    }
    return 0;
}

// Characters the variables file, being XML, cannot carry.
bool Fits_Xml(const QString& Text)
{
    for (const QChar C : Text) {
        const char16_t U = C.unicode();
        if ((U < 0x20 && U != u'\t' && U != u'\n' && U != u'\r') || U == 0xFFFE || U == 0xFFFF)
            return false;
    }
    return true;
}

int Column_Of(const QByteArray& Header_Field)
{
    const QString Name = QString::fromUtf8(Header_Field).trimmed();
    for (int Index = 0; Index < Column_Names().size(); ++Index)
        if (Column_Names()[Index].compare(Name, Qt::CaseInsensitive) == 0)
            return Index;
    return -1;
}

// Splits the header line with one separator; strict errors give no fields.
QList<QByteArray> Split_Header(const QByteArray& Line, unsigned char Separator)
{
    Parser P(Separator);
    QList<QByteArray> Fields;
    const auto On_Field = [](void* Data, size_t Size, void* Out) {
        static_cast<QList<QByteArray>*>(Out)->append(QByteArray(static_cast<const char*>(Data), static_cast<qsizetype>(Size)));
    };
    if (csv_parse(&P.State, Line.constData(), static_cast<size_t>(Line.size()), On_Field, nullptr, &Fields)
            != static_cast<size_t>(Line.size())
        || csv_fini(&P.State, On_Field, nullptr, &Fields) != 0)
        return {};
    return Fields;
}

unsigned char Find_Separator(const QByteArray& Header_Line)
{
    unsigned char Best = ',';
    int Best_Known = -1;
    for (const unsigned char Candidate : {',', ';', '\t'}) {
        int Known = 0;
        for (const QByteArray& Field : Split_Header(Header_Line, Candidate))
            Known += Column_Of(Field) >= 0 ? 1 : 0;
        if (Known > Best_Known) {
            Best = Candidate;
            Best_Known = Known;
        }
    }
    return Best;
}

// Collects the records as libcsv reports them and checks each one whole.
struct Reader {
    explicit Reader(const Lang_Table& Lang_) : Lang(Lang_) {}
    const Lang_Table& Lang;
    QList<QByteArray> Fields;
    QList<int> Columns;  // the column of each header field, -1 when unknown
    bool Have_Header = false;
    QList<QStringList> Rows;
    QString Error;
    int Line = 1;
    int Record_Line = 0;
    bool In_Record = false;
    QHash<QString, int> Line_Named;  // the line of each enabled row's name

    void Fail(int Slot, int At_Line, const QList<int>& Numbers = {})
    {
        QString Text = Lang[Slot].arg(At_Line);
        for (int Number : Numbers)
            Text = Text.arg(Number);
        Error = Text;
    }

    void End_Record()
    {
        In_Record = false;
        QList<QByteArray> Record;
        Record.swap(Fields);
        if (!Error.isEmpty())
            return;
        if (!Have_Header) {
            Have_Header = true;
            for (const QByteArray& Name : Record) {
                const int Column = Column_Of(Name);
                Columns.append(Column >= 0 && !Columns.contains(Column) ? Column : -1);
            }
            if (Columns.count(-1) == Columns.size())
                Fail(Variables_Text::Csv_Header_Unknown, Record_Line);
            return;
        }
        if (Record.size() > Columns.size())
            return Fail(Variables_Text::Csv_Too_Many_Fields, Record_Line,
                        {static_cast<int>(Record.size()), static_cast<int>(Columns.size())});
        bool Blank = true;
        for (const QByteArray& Field : Record)
            Blank = Blank && Field.trimmed().isEmpty();
        if (Blank)
            return;
        if (Rows.size() == Max_Rows)
            return Fail(Variables_Text::Csv_Too_Many_Rows, Record_Line, {Max_Rows});
        QStringList Row(Column_Names().size());
        for (int Index = 0; Index < Record.size(); ++Index) {
            if (Columns[Index] < 0)
                continue;
            const QString Text = QString::fromUtf8(Record[Index]);
            if (!Fits_Xml(Text))
                return Fail(Variables_Text::Csv_Control_Character, Record_Line);
            Row[Columns[Index]] = Text;
        }
        // Values no editor writes are refused with their place in the file;
        // an empty Type is left to the check before saving.
        const auto Column_Number = [&](int Attribute) { return static_cast<int>(Columns.indexOf(Attribute)) + 1; };
        for (const Checks::Value_Fault& Fault : Checks::Value_Faults(Row, Lang)) {
            if (Fault.Attribute == Variables_File::Type && Row[Variables_File::Type].isEmpty())
                continue;
            Error = Lang[Variables_Text::Csv_Line_Column]
                        .arg(Record_Line)
                        .arg(Column_Number(Fault.Attribute))
                        .arg(Fault.Text);
            return;
        }
        const QString Key = Trimmed(Row[Variables_File::Name]);
        if (Trimmed(Row[Variables_File::Enable]) == QLatin1String("Y") && !Key.isEmpty()) {
            if (const auto Earlier = Line_Named.constFind(Key); Earlier != Line_Named.cend()) {
                Error = Lang[Variables_Text::Csv_Line_Column]
                            .arg(Record_Line)
                            .arg(Column_Number(Variables_File::Name))
                            .arg(Lang[Variables_Text::Csv_Name_Used_Twice].arg(Key).arg(*Earlier));
                return;
            }
            Line_Named.insert(Key, Record_Line);
        }
        Rows.append(Row);
    }
};

void On_Field(void* Data, size_t Size, void* Out)
{
    static_cast<Reader*>(Out)->Fields.append(QByteArray(static_cast<const char*>(Data), static_cast<qsizetype>(Size)));
}

void On_Record(int, void* Out) { static_cast<Reader*>(Out)->End_Record(); }

} // namespace

const QStringList& Column_Names()
{
    // The columns carry the names of the list file's attributes.
    static const QStringList Names = [] {
        QStringList All;
        for (int A = 0; A < Variables_File::Attribute_Count; ++A)
            All.append(QString::fromLatin1(Variables_File::Info(A).Name));
        return All;
    }();
    return Names;
}

int Exported_Rows(const QList<QStringList>& Rows)
{
    int Count = 0;
    while (Count < Rows.size() && !Trimmed(Rows[Count].value(Name_Field)).isEmpty())
        ++Count;
    return Count;
}

QByteArray Export(const QList<QStringList>& Rows)
{
    QByteArray Out = Bom;
    const auto Write_Line = [&Out](const QStringList& Fields) {
        for (int Index = 0; Index < Fields.size(); ++Index) {
            if (Index > 0)
                Out += ',';
            Out += Csv_Field(Fields[Index]);
        }
        Out += "\r\n";
    };
    Write_Line(Column_Names());
    for (const QStringList& Row : Rows) {
        if (Trimmed(Row.value(Name_Field)).isEmpty())
            break;
        QStringList Fields = Row.mid(0, Column_Names().size());
        while (Fields.size() < Column_Names().size())
            Fields.append(QString());
        Write_Line(Fields);
    }
    return Out;
}

std::expected<QList<QStringList>, QString> Import(const QByteArray& File, const Lang_Table& Lang)
{
    const QByteArray Bytes = File.startsWith(Bom) ? File.sliced(Bom.size()) : File;
    if (const int Bad_Line = Invalid_Utf8_Line(Bytes))
        return std::unexpected(Lang[Variables_Text::Csv_Not_Utf8].arg(Bad_Line));

    qsizetype Header_End = 0;
    while (Header_End < Bytes.size() && Bytes[Header_End] != '\n' && Bytes[Header_End] != '\r')
        ++Header_End;
    Parser P(Find_Separator(Bytes.first(Header_End)));
    Reader Read(Lang);
    for (qsizetype At = 0; At < Bytes.size() && Read.Error.isEmpty(); ++At) {
        const char C = Bytes[At];
        if (!Read.In_Record && C != '\r' && C != '\n') {
            Read.In_Record = true;
            Read.Record_Line = Read.Line;
        }
        // One byte at a time, so that each record is known by the line it starts on.
        if (csv_parse(&P.State, &C, 1, On_Field, On_Record, &Read) != 1) {
            Read.Fail(Variables_Text::Csv_Quote_Not_Closed, Read.Line);
            break;
        }
        if (C == '\n' || (C == '\r' && (At + 1 == Bytes.size() || Bytes[At + 1] != '\n')))
            ++Read.Line;
    }
    if (Read.Error.isEmpty() && csv_fini(&P.State, On_Field, On_Record, &Read) != 0)
        Read.Fail(Variables_Text::Csv_Quote_Not_Closed, Read.Record_Line);
    if (!Read.Error.isEmpty())
        return std::unexpected(Read.Error);
    if (!Read.Have_Header)
        return std::unexpected(Lang[Variables_Text::Csv_No_Header]);
    return Read.Rows;
}

bool Export_File(const QList<QStringList>& Rows, const QString& Folder, Save_File_Dialog& Dialog, Prompter& Prompts,
                 const Lang_Table& Lang)
{
    auto Path = Dialog.Ask_Save_Path(
        {Folder, QStringLiteral("IEC61850_Variables.csv"), Lang[Variables_Text::Csv_Filter], QStringLiteral("*.csv")});
    if (!Path)
        return false;
    if (QFileInfo(*Path).suffix().isEmpty())
        *Path += QStringLiteral(".csv");
    if (QFileInfo::exists(*Path) && !Prompts.Confirm(Lang[Variables_Text::Csv_Overwrite_Question]))
        return false;
    if (const auto Written = Write_File_Atomic(*Path, Export(Rows)); !Written) {
        const QString Shown_Path = QDir::toNativeSeparators(*Path);
        Prompts.Error(Written.error().Refused_Link() ? Lang[Foundation_Text::Refused_Link].arg(Shown_Path)
                                                     : Shown_Path + u'\n' + Written.error().System_Text);
        return false;
    }
    Prompts.Information(
        Lang[Variables_Text::Csv_Written].arg(Exported_Rows(Rows)).arg(QDir::toNativeSeparators(*Path)));
    return true;
}

std::optional<QList<QStringList>> Import_File(const QString& Folder, Open_File_Dialog& Dialog, Prompter& Prompts,
                                              const Lang_Table& Lang)
{
    Open_File_Request Request;
    Request.Initial_Folder = Folder;
    Request.Filter_Description = Lang[Variables_Text::Csv_Filter];
    Request.Filter_Pattern = QStringLiteral("*.csv");
    const auto Path = Dialog.Ask_Open_Path(Request);
    if (!Path)
        return std::nullopt;
    const QString Shown = QDir::toNativeSeparators(*Path) + u'\n';
    QFile File(*Path);
    if (!File.open(QIODevice::ReadOnly)) {
        Prompts.Error(Shown + Lang[Variables_Text::Csv_Unreadable] + File.errorString());
        return std::nullopt;
    }
    auto Rows = Import(File.readAll(), Lang);
    if (!Rows) {
        Prompts.Error(Shown + Rows.error());
        return std::nullopt;
    }
    return *Rows;
}

} // namespace Variables_Csv
