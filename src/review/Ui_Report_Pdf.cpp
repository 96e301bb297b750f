#include "review/Ui_Report_Pdf.h"

#include "certificates/Certificate_Texts.h"
#include "certificates/Pem_Contents.h"
#include "checks/Par_Gen_Checks.h"
#include "editors/Editor_Texts.h"
#include "editors/List_Files.h"
#include "editors/Ui_Variable_Map.h"
#include "checks/Variable_Placement.h"
#include "foundation/Identity.h"
#include "foundation/Workspace.h"
#include "gsdml/Profinet_XML_Lines.h"
#include "image/Configuration_Image.h"
#include "platform/File_Read.h"
#include "platform/File_Write.h"
#include "platform/Xml_File.h"
#include "project/Configuration.h"
#include "project/Known_Cert_File.h"
#include "project/Par_Gen_File.h"
#include "project/Variables_File.h"
#include "review/Report_Findings.h"
#include "review/Review_Texts.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>

#include <stdexcept>

namespace Review {

namespace {

namespace Text = Report_Text;
namespace Tls = Certificates::Text_Slot;

constexpr int Resolution = 300;  // dots per inch of the page's drawing
constexpr qreal Margin_Mm = 15;
const QString Font_Family = QStringLiteral("DejaVu Sans");

QString Esc(const QString& Text) { return Text.toHtmlEscaped(); }

// The report's font at Points. Without ligatures: "fi" stays two letters for
// a reader who searches or copies the text.
QFont Report_Font(qreal Points, bool Bold = false)
{
    QFont Font(Font_Family);
    Font.setPointSizeF(Points);
    Font.setBold(Bold);
    Font.setStyleStrategy(QFont::PreferNoShaping);
    return Font;
}

// A Details line shown in the body's font without a label.
const QString Plain_Line = QStringLiteral("\x01");

// The report's text, as HTML for Qt's rich-text engine.
class Html {
public:
    explicit Html(const Lang_Table& Lang_) : Lang(Lang_) {}
    QString Text;

    void Heading(int Slot, int Level = 2) { Text += QStringLiteral("<h%1>%2</h%1>").arg(Level).arg(Esc(Lang[Slot])); }
    void Paragraph(const QString& Plain) { Text += QStringLiteral("<p>") + Esc(Plain) + QStringLiteral("</p>"); }
    // A table of plain texts; Headers empty for none.
    void Table(const QStringList& Headers, const QList<QStringList>& Rows, const QString& Style = {})
    {
        Text += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\" style=\"%1\">")
                    .arg(Style);
        if (!Headers.isEmpty()) {
            Text += QStringLiteral("<thead><tr>");
            for (const QString& H : Headers)
                Text += QStringLiteral("<th bgcolor=\"#e8e8e8\" align=\"left\">") + Esc(H) + QStringLiteral("</th>");
            Text += QStringLiteral("</tr></thead>");
        }
        for (const QStringList& Row : Rows) {
            Text += QStringLiteral("<tr>");
            for (const QString& Cell : Row)
                Text += QStringLiteral("<td>") + Esc(Cell).replace(u'\n', QStringLiteral("<br/>")) + QStringLiteral("</td>");
            Text += QStringLiteral("</tr>");
        }
        Text += QStringLiteral("</table>");
    }
    // Label and value lines; without a label, a line of its own (a fingerprint
    // in a small fixed-width font).
    void Details(const QList<std::pair<QString, QString>>& Lines)
    {
        Text += QStringLiteral("<p style=\"margin-left:12px\">");
        for (const auto& [Label, Value] : Lines) {
            if (Label == Plain_Line)
                Text += Esc(Value) + QStringLiteral("<br/>");
            else if (Label.isEmpty())
                Text += QStringLiteral("<span style=\"font-family:'DejaVu Sans Mono'; font-size:7pt\">") + Esc(Value)
                        + QStringLiteral("</span><br/>");
            else
                Text += QStringLiteral("<b>") + Esc(Label) + QStringLiteral("</b> ") + Esc(Value) + QStringLiteral("<br/>");
        }
        Text += QStringLiteral("</p>");
    }

private:
    const Lang_Table& Lang;
};

QString Modified_Text(const QString& Path, const Lang_Table& Lang)
{
    const QFileInfo Info(Path);
    const QString Name = Info.fileName();
    if (!Info.exists())
        return Name + QStringLiteral(": ") + Lang[Text::File_Missing];
    return Name + QStringLiteral(": ")
           + Lang[Text::File_Modified].arg(Info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

// A key or certificate text as the reader finds it. Without the reader every
// such text would be misnamed "not a certificate": the report is refused
// with the reason instead.
Certificates::Pem_Contents Read_For_Report(Certificates::Pem_Reader& Reader, const QString& Pem,
                                           const QString& Password = {})
{
    Certificates::Pem_Contents Found = Reader.Read(Pem, Password);
    if (Found.Reader_Missing)
        throw std::runtime_error(Found.Error.toStdString());
    return Found;
}

QString Key_Text(Certificates::Pem_Reader& Reader, const QString& Pem, const QString& Password, const Lang_Table& Lang)
{
    if (Pem.trimmed().isEmpty())
        return Lang[Text::None];
    const Certificates::Pem_Contents Found = Read_For_Report(Reader, Pem, Password);
    if (Found.Keys.isEmpty())
        return Lang[Text::Not_A_Private_Key];
    const Certificates::Private_Key_Info& Key = Found.Keys.first();
    if (Key.Key.Type.isEmpty())
        return Lang[Text::Key_Encrypted];
    return Lang[Text::Key_Type_Bits].arg(Key.Key.Type).arg(Key.Key.Bits);
}

// Subject, issuer, validity and fingerprint of the first certificate of Pem.
QList<std::pair<QString, QString>> Certificate_Lines(Certificates::Pem_Reader& Reader, const QString& Pem,
                                                     const Lang_Table& Lang)
{
    if (Pem.trimmed().isEmpty())
        return {{Plain_Line, Lang[Text::None]}};
    const Certificates::Pem_Contents Found = Read_For_Report(Reader, Pem);
    if (Found.Certificates.isEmpty())
        return {{Lang[Text::Not_A_Certificate], QString()}};
    const Certificates::Certificate_Info& C = Found.Certificates.first();
    return {{Lang[Tls::Details_Subject].trimmed(), C.Subject},
            {Lang[Tls::Details_Issuer].trimmed(), C.Issuer},
            {Plain_Line, Lang[Tls::Details_Validity].arg(Certificates::Date_Text(C.Not_Before),
                                                         Certificates::Date_Text(C.Not_After))},
            {Lang[Tls::Details_Fingerprint].trimmed(), QString()},
            {QString(), C.Fingerprint}};
}

QString Identity_Text(const char* Attribute)
{
    // The identity the device description declares.
    const QRegularExpression Pattern(QStringLiteral("%1=\"([^\"]*)\"").arg(QLatin1String(Attribute)));
    for (const char* Line : Profinet_XML_Lines::Head)
        if (const auto Match = Pattern.match(QString::fromUtf8(Line)); Match.hasMatch())
            return Match.captured(1);
    return {};
}

QString Sha256_Hex(const QByteArray& Data)
{
    return QString::fromLatin1(QCryptographicHash::hash(Data, QCryptographicHash::Sha256).toHex());
}

struct Report_Parts {
    QString Before_Map;
    QString After_Map;
    QString Map_Notes;
    Variable_Placement::Analysis Map;
};

Report_Parts Compose(const Workspace& Space, const Configuration& Config, Decimal_Separator& Separator,
                     const Report_Request& Request)
{
    const Lang_Table& Lang = Space.Lang_Strings;
    Report_Parts Parts;
    // Each key and certificate is read once for the whole report: an
    // encrypted key costs its whole key derivation on every reading.
    Certificates::Pem_Reader Own_Reader;
    Certificates::Pem_Reader& Reader = Request.Reader ? *Request.Reader : Own_Reader;

    // What the device is given, compiled once from the files as opened; a
    // file that is not well-formed refuses the report.
    Configuration_Image Image(Config.Files, &Separator);
    const Configuration_Image::Compile_Result Compiled = Image.Create_Bin(Config);
    const bool Fits = Compiled == Configuration_Image::Compile_Result::Compiled;
    const Par_Gen::Values Par = Par_Gen::Editor_Values(*Config.General);
    const List_File::Stored& Variables = *Config.Variables;
    const List_File::Stored& Known = *Config.Known_Certificates;

    Html Doc(Lang);
    Doc.Text += QStringLiteral("<h1>%1: %2</h1>").arg(Esc(Lang[Text::Title]), Esc(Space.Project_Name));
    QStringList Files;
    for (const QString& Path : {Space.File_ParGen, Space.File_IEC61850_Variables, Space.File_TLS_Known_Cert})
        Files << Modified_Text(Path, Lang);
    Doc.Table({}, {{Lang[Text::Configuration], Space.Project_Name},
                   {Lang[Text::Written_On], Request.Written_On.toString(QStringLiteral("yyyy-MM-dd HH:mm"))},
                   {Lang[Text::Program], QStringLiteral("%1 %2 - %3").arg(Identity::SW_Code, Identity::SW_Version,
                                                                          Identity::SW_Description)},
                   {Lang[Text::Project_Files], Files.join(u'\n')}});

    Doc.Heading(Text::General_Parameters);
    QList<QStringList> General;
    for (int Element = 0; Element < Par_Gen::Element_Count; ++Element) {
        QString Value = Par[Element];
        switch (Element) {
        case Par_Gen::IEC61850_Server_Password:
        case Par_Gen::TLS_Server_Key_Password:
            Value = Value.isEmpty() ? Lang[Text::Password_Not_Set] : Lang[Text::Password_Set];
            break;
        case Par_Gen::TLS_Server_Key:
            Value = Key_Text(Reader, Value, Par[Par_Gen::TLS_Server_Key_Password], Lang);
            break;
        case Par_Gen::TLS_Server_Server_Certificate:
        case Par_Gen::TLS_Server_Root_Certificate: {
            const Certificates::Pem_Contents Found = Read_For_Report(Reader, Value);
            Value = Value.trimmed().isEmpty()        ? Lang[Text::None]
                    : Found.Certificates.isEmpty() ? Lang[Text::Not_A_Certificate]
                                                   : Certificates::Display_Name(Found.Certificates.first());
            break;
        }
        default: break;
        }
        General.append({QString::fromLatin1(Par_Gen::Info(Element).Name), Value});
    }
    Doc.Table({Lang[Text::Element_Column], Lang[Text::Value_Column]}, General);

    Doc.Heading(Text::Profinet_Identity);
    QString Station_State = Lang[Text::Station_Name_Valid];
    for (const Par_Gen::Problem& P : Par_Gen::Find_Problems(Par, Lang))
        if (P.Element == Par_Gen::PROFINET_NAME_STA)
            Station_State = Lang[Text::Station_Name_Not_Valid].arg(P.Text.trimmed());
    Doc.Table({}, {{Lang[Text::Station_Name],
                    Par[Par_Gen::PROFINET_NAME_STA] + QStringLiteral(" (") + Station_State + u')'},
                   {Lang[Text::Vendor_Device_Ids],
                    Identity_Text("VendorID") + QStringLiteral(" / ") + Identity_Text("DeviceID")},
                   {Lang[Text::Input_Bytes], Par[Par_Gen::PROFINET_NB_IN]},
                   {Lang[Text::Output_Bytes], Par[Par_Gen::PROFINET_NB_OUT]}});

    Doc.Heading(Text::Variables);
    QList<QStringList> Rows;
    int Enabled = 0;
    for (const List_File::Stored_Row& Stored : Variables.Rows) {
        QStringList Texts = Variables_File::Editor_Texts(Variables_File::Row(Stored));
        Enabled += Texts.value(Variables_File::Enable) == QLatin1String("Y") ? 1 : 0;
        Rows.append(Texts);
    }
    Parts.Map = Variable_Placement::Analyse(Rows);
    Doc.Paragraph(Lang[Text::Variables_Count].arg(Rows.size()).arg(Enabled));
    QList<QStringList> Table_Rows;
    for (qsizetype I = 0; I < Rows.size(); ++I)
        Table_Rows.append(QStringList{QString::number(I + 1)} + Rows[I]);
    QStringList Headers;
    for (int Column = 0; Column < IEC61850_Variables::Columns; ++Column)
        Headers.append(Lang[IEC61850_Variables::Header_Slot(Column)]);
    Doc.Table(Headers, Table_Rows, QStringLiteral("font-size:7pt"));
    Parts.Before_Map = Doc.Text;

    QStringList Notes = Variable_Placement::Finding_Texts(Parts.Map, Lang);
    if (Notes.isEmpty())
        Notes.append(Lang[Variables_Text::Map_No_Findings]);
    Notes.append(Variable_Placement::Free_Text(Parts.Map, Lang));
    QStringList Escaped;
    for (const QString& Line : Notes)
        Escaped << Esc(Line);
    Parts.Map_Notes = QStringLiteral("<p style=\"font-size:8pt\">") + Escaped.join(QStringLiteral("<br/>"))
                      + QStringLiteral("</p>");

    Html After(Lang);
    After.Heading(Text::Tls);
    After.Text += QStringLiteral("<h3>") + Esc(Lang[Text::Server_Key]) + QStringLiteral("</h3>");
    After.Details(
        {{Plain_Line, Key_Text(Reader, Par[Par_Gen::TLS_Server_Key], Par[Par_Gen::TLS_Server_Key_Password], Lang)}});
    After.Text += QStringLiteral("<h3>") + Esc(Lang[Text::Server_Certificate]) + QStringLiteral("</h3>");
    After.Details(Certificate_Lines(Reader, Par[Par_Gen::TLS_Server_Server_Certificate], Lang));
    After.Text += QStringLiteral("<h3>") + Esc(Lang[Text::Root_Certificate]) + QStringLiteral("</h3>");
    After.Details(Certificate_Lines(Reader, Par[Par_Gen::TLS_Server_Root_Certificate], Lang));
    for (qsizetype I = 0; I < Known.Rows.size(); ++I) {
        const Known_Cert_File::Row Item(Known.Rows[I]);
        const bool On = Item.Flag(Known_Cert_File::Enable, List_File::Reader::Image);
        After.Text += QStringLiteral("<h3>")
                      + Esc(Lang[Text::Known_Certificate].arg(QString::number(I + 1),
                                                              On ? Lang[Text::Enabled] : Lang[Text::Disabled]))
                      + QStringLiteral("</h3>");
        After.Details(
            Certificate_Lines(Reader, Item.Text(Known_Cert_File::Certificate, List_File::Reader::Image), Lang));
    }

    After.Heading(Text::Bank_Files);
    if (!Fits) {
        After.Paragraph(Lang[Text::Does_Not_Fit]);
    } else {
        QList<QStringList> Banks;
        const auto Bank = [&](const QString& Path, const QByteArray& Bytes) {
            const auto Written = Read_Regular_File(Path);
            const QString In_Bin = !Written            ? Lang[Text::Not_In_Bin]
                                   : *Written == Bytes ? Lang[Text::Same_In_Bin]
                                                       : Lang[Text::Different_In_Bin];
            Banks.append({QFileInfo(Path).fileName(), QString::number(Bytes.size()), Sha256_Hex(Bytes), In_Bin});
        };
        Bank(Image.Bank1_Path(), Image.Bank1_Buffer.left(Image.Bank1_Length));
        Bank(Image.Bank2_Path(), Image.Bank2_Buffer.left(Image.Bank2_Length));
        After.Table({Lang[Text::File_Column], Lang[Text::Size_Column], Lang[Text::Sha256_Column],
                     Lang[Text::In_Bin_Column]},
                    Banks, QStringLiteral("font-size:7pt"));
    }

    After.Heading(Text::Findings);
    const QList<Report_Finding> Findings = Report_Findings(Config, Lang, Separator, Reader, Compiled);
    if (Findings.isEmpty())
        After.Paragraph(Lang[Text::No_Findings]);
    // The files are named without their folder, which the title block names.
    const QString Folder = QDir::toNativeSeparators(Space.Project_Dir) + QDir::separator();
    for (Report_Finding F : Findings)
        After.Text += QStringLiteral("<p style=\"font-size:8pt; color:%1\">").arg(F.Error ? QStringLiteral("#b00000")
                                                                                         : QStringLiteral("#805000"))
                      + Esc(F.Line.startsWith(Folder) ? F.Line.mid(Folder.size()) : F.Line) + QStringLiteral("</p>");
    Parts.After_Map = After.Text;
    return Parts;
}

} // namespace

QPageSize::PageSizeId Report_Page_Size(const QLocale& Locale)
{
    return Locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

QString Report_File_Name(const QString& Configuration_Name) { return Configuration_Name + QStringLiteral("-report.pdf"); }

std::expected<Report_Written, QString> Write_Report(const Workspace& Space, Decimal_Separator& Separator,
                                                    const Report_Request& Request)
{
    const auto Config = Read_Configuration(Space);
    if (!Config)
        return std::unexpected(Config.error().Text());
    return Write_Report(Space, *Config, Separator, Request);
}

std::expected<Report_Written, QString> Write_Report(const Workspace& Space, const Configuration& Config,
                                                    Decimal_Separator& Separator, const Report_Request& Request)
{
    Report_Parts Parts;
    try {
        Parts = Compose(Space, Config, Separator, Request);
    } catch (const Xml_Parse_Error& E) {
        return std::unexpected(E.Message());
    } catch (const std::runtime_error& E) {
        return std::unexpected(QString::fromStdString(E.what()));
    }
    const Lang_Table& Lang = Space.Lang_Strings;

    // Drawn in memory and handed whole to the program's writer, which
    // replaces the old report only with a complete one.
    QBuffer Pdf;
    Pdf.open(QIODevice::WriteOnly);
    Report_Written Result;
    {
        QPdfWriter Writer(&Pdf);
        Writer.setResolution(Resolution);
        Writer.setPageSize(QPageSize(Request.Page));
        Writer.setPageMargins(QMarginsF(Margin_Mm, Margin_Mm, Margin_Mm, Margin_Mm), QPageLayout::Millimeter);
        Writer.setTitle(Lang[Text::Title] + QStringLiteral(": ") + Space.Project_Name);
        Writer.setCreator(Identity::SW_Code + u' ' + Identity::SW_Version);
        QPainter Painter;
        if (!Painter.begin(&Writer))
            return std::unexpected(QDir::toNativeSeparators(Request.Path));
        const QRectF Page = Writer.pageLayout().paintRectPixels(Resolution);
        const qreal W = Page.width();
        const qreal Footer_H = Resolution * 10 / 25.4;  // 10 mm
        const qreal Body_H = Page.height() - Footer_H;
        const QFont Body_Font = Report_Font(9);

        const auto Layout = [&](QTextDocument& Doc, const QString& Text) {
            Doc.documentLayout()->setPaintDevice(&Writer);
            Doc.setDefaultFont(Body_Font);
            Doc.setDefaultStyleSheet(QStringLiteral("h1 { font-size: 16pt; } h2 { font-size: 12pt; } "
                                                    "h3 { font-size: 10pt; } th { font-weight: bold; }"));
            Doc.setHtml(Text);
            Doc.setPageSize(QSizeF(W, Body_H));
        };
        QTextDocument Before;
        Layout(Before, Parts.Before_Map);
        QTextDocument After;
        Layout(After, Parts.After_Map);
        const int Before_Pages = Before.pageCount();
        const int After_Pages = After.pageCount();
        Result.Pages = Before_Pages + 1 + After_Pages;
        Result.Map_Page = Before_Pages + 1;

        int Page_Number = 0;
        const auto Footer = [&] {
            ++Page_Number;
            Painter.save();
            Painter.setFont(Report_Font(8));
            Painter.setPen(Qt::darkGray);
            const QRectF Line(0, Page.height() - Footer_H * 0.6, W, Footer_H * 0.6);
            Painter.drawLine(QLineF(0, Line.top(), W, Line.top()));
            Painter.drawText(Line, Qt::AlignLeft | Qt::AlignBottom,
                             Lang[Text::Title] + QStringLiteral(": ") + Space.Project_Name);
            Painter.drawText(Line, Qt::AlignRight | Qt::AlignBottom,
                             Lang[Text::Page_Of].arg(Page_Number).arg(Result.Pages));
            Painter.restore();
        };
        const auto Document_Pages = [&](QTextDocument& Doc, int Count) {
            for (int I = 0; I < Count; ++I) {
                if (Page_Number > 0)
                    Writer.newPage();
                Painter.save();
                Painter.translate(0, -I * Body_H);
                Doc.drawContents(&Painter, QRectF(0, I * Body_H, W, Body_H));
                Painter.restore();
                Footer();
            }
        };
        Document_Pages(Before, Before_Pages);

        // The map page: the editor's drawing, its findings under it.
        Writer.newPage();
        const QFont Heading_Font = Report_Font(12, true);
        Painter.setFont(Heading_Font);
        Painter.setPen(Qt::black);
        const qreal Heading_H = QFontMetricsF(Heading_Font, &Writer).height() * 1.8;
        Painter.drawText(QRectF(0, 0, W, Heading_H), Qt::AlignLeft | Qt::AlignVCenter, Lang[Variables_Text::Map_Title]);
        const QFont Map_Font = Report_Font(7);
        const qreal Map_Margin = QFontMetricsF(Map_Font, &Writer).horizontalAdvance(QStringLiteral("00000"));
        // The editor's proportions: 16 by 14 for each byte cell.
        const qreal Map_H = (W - Map_Margin) / Variable_Map::Cells_Per_Line * 14.0 / 16.0 * Variable_Map::Lines;
        const Variable_Map_Frame Frame{QSizeF(W, Map_H), Map_Margin, Map_Font, Qt::white, Qt::black};
        Painter.save();
        Painter.translate(0, Heading_H);
        Paint_Variable_Map(Painter, Parts.Map, Frame);
        Painter.restore();
        QTextDocument Notes;
        Layout(Notes, Parts.Map_Notes);
        Notes.setPageSize(QSizeF(W, Body_H - Heading_H - Map_H));
        Painter.save();
        Painter.translate(0, Heading_H + Map_H + Resolution * 0.1);
        Notes.drawContents(&Painter, QRectF(0, 0, W, Body_H - Heading_H - Map_H - Resolution * 0.1));
        Painter.restore();
        Footer();
        const qreal To_Points = 72.0 / Resolution;
        const qreal Margin_Points = Margin_Mm * 72.0 / 25.4;
        Result.Map_Rect = QRectF(Margin_Points, Margin_Points + Heading_H * To_Points, W * To_Points, Map_H * To_Points);
        Result.Map_Margin = Map_Margin * To_Points;
        Result.Map_Font_Points = 7;

        Document_Pages(After, After_Pages);
        if (!Painter.end())
            return std::unexpected(QDir::toNativeSeparators(Request.Path));
    }
    if (Pdf.data().isEmpty())
        return std::unexpected(QDir::toNativeSeparators(Request.Path));
    if (const auto Saved = Write_File_Atomic(Request.Path, Pdf.data()); !Saved)
        return std::unexpected(Space.Write_Failure_Text(Saved.error()));
    return Result;
}

} // namespace Review
