#include "review/Ui_Report_Pdf.h"

#include "certificates/Certificate_Texts.h"
#include "certificates/Crypto_Module.h"
#include "certificates/Pem_Contents.h"
#include "checks/Par_Gen_Checks.h"
#include "editors/Editor_Texts.h"
#include "editors/List_Files.h"
#include "editors/Ui_Variable_Map.h"
#include "checks/Variable_Placement.h"
#include "foundation/Identity.h"
#include "foundation/Workspace.h"
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
#include "review/Ui_Report_Layout.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include <stdexcept>

namespace Review {

namespace {

namespace Text = Report_Text;
namespace Tls = Certificates::Text_Slot;
namespace Layout = Report_Layout;

constexpr int Resolution = 300;  // dots per inch of the page's drawing

// A Details line shown in the body's font without a label.
const QString Plain_Line = QStringLiteral("\x01");

// Label and value lines below a certificate's heading; without a label, a
// line of its own (a fingerprint, in a small fixed-width font).
void Details(QList<Layout::Block>& Blocks, const QList<std::pair<QString, QString>>& Lines)
{
    for (const auto& [Label, Value] : Lines) {
        if (Label == Plain_Line) {
            Layout::Block Line = Layout::Paragraph(Value);
            Line.Indent_Points = 9;
            Blocks.append(Line);
        } else if (Label.isEmpty()) {
            Blocks.append(Layout::Mono_Line(Value));
        } else {
            Blocks.append(Layout::Detail(Label, Value));
        }
    }
}

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
Certificates::Pem_Contents Read_For_Report(Certificates::Pem_Reader& Reader, const Lang_Table& Lang,
                                           const QString& Pem, const QString& Password = {})
{
    Certificates::Pem_Reading Found = Reader.Read(Pem, Password);
    if (!Found)
        throw std::runtime_error(Certificates::Crypto_Missing_Text(Found.error(), Lang).toStdString());
    return *Found;
}

QString Key_Text(Certificates::Pem_Reader& Reader, const QString& Pem, const QString& Password, const Lang_Table& Lang)
{
    if (Pem.trimmed().isEmpty())
        return Lang[Text::None];
    const Certificates::Pem_Contents Found = Read_For_Report(Reader, Lang, Pem, Password);
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
    const Certificates::Pem_Contents Found = Read_For_Report(Reader, Lang, Pem);
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

QString Sha256_Hex(const QByteArray& Data)
{
    return QString::fromLatin1(QCryptographicHash::hash(Data, QCryptographicHash::Sha256).toHex());
}

// An address of four byte fields as one line, "192.168.2.205".
QString Address_Text(const Par_Gen::Values& Par, int First)
{
    QStringList Bytes;
    for (int I = 0; I < 4; ++I)
        Bytes.append(Par[First + I].trimmed());
    return Bytes.join(u'.');
}

// The general parameters as the editor shows them: its groups, its labels
// and one line per address.
void General_Parameters(QList<Layout::Block>& Blocks, const Par_Gen::Values& Par, Certificates::Pem_Reader& Reader,
                        const Lang_Table& Lang)
{
    namespace Editor = Par_Gen_Text;
    const auto Box = [&](int Element) { return Par.Is_Checked(Element) ? Lang[Text::Yes] : Lang[Text::No]; };
    const auto Password = [&](int Element) {
        return Par[Element].isEmpty() ? Lang[Text::Password_Not_Set] : Lang[Text::Password_Set];
    };
    const auto Certificate = [&](int Element) {
        const QString& Pem = Par[Element];
        if (Pem.trimmed().isEmpty())
            return Lang[Text::None];
        const Certificates::Pem_Contents Found = Read_For_Report(Reader, Lang, Pem);
        return Found.Certificates.isEmpty() ? Lang[Text::Not_A_Certificate]
                                            : Certificates::Display_Name(Found.Certificates.first());
    };
    const QString Gateway = Address_Text(Par, Par_Gen::PROFINET_GAT1);
    const QList<std::pair<QString, QList<QStringList>>> Groups{
        {QStringLiteral("1. ") + Lang[Editor::Server_Group],
         {{Lang[Editor::Server_Port_Label], Par[Par_Gen::IEC61850_Server_Port]},
          {Lang[Editor::Server_Password_Label], Password(Par_Gen::IEC61850_Server_Password)}}},
        {QStringLiteral("2. ") + Lang[Editor::Tls_Group],
         {{Lang[Editor::Tls_Enable_Box], Box(Par_Gen::TLS_Server_Enable)},
          {Lang[Tls::Key_Label],
           Key_Text(Reader, Par[Par_Gen::TLS_Server_Key], Par[Par_Gen::TLS_Server_Key_Password], Lang)},
          {Lang[Tls::Key_Password_Label], Password(Par_Gen::TLS_Server_Key_Password)},
          {Lang[Tls::Server_Certificate_Label], Certificate(Par_Gen::TLS_Server_Server_Certificate)},
          {Lang[Tls::Root_Certificate_Label], Certificate(Par_Gen::TLS_Server_Root_Certificate)},
          {Lang[Tls::Enable_Known_Cert_Label], Box(Par_Gen::TLS_Server_Enable_Known_Cert)}}},
        {QStringLiteral("3. ") + Lang[Editor::Profinet_Group],
         {{Lang[Editor::Ip_Label], Address_Text(Par, Par_Gen::PROFINET_IP1)},
          {Lang[Editor::Mask_Label], Address_Text(Par, Par_Gen::PROFINET_SM1)},
          {Lang[Editor::Gateway_Box],
           Par.Is_Checked(Par_Gen::PROFINET_EN_GAT) ? Gateway : Lang[Text::Not_Used].arg(Gateway)},
          {Lang[Editor::Tunnel_Port_Label], Par[Par_Gen::PROFINET_PORT]},
          {Lang[Editor::Station_Name_Label], Par[Par_Gen::PROFINET_NAME_STA]},
          {Lang[Editor::Input_Bytes_Label], Par[Par_Gen::PROFINET_NB_IN]},
          {Lang[Editor::Output_Bytes_Label], Par[Par_Gen::PROFINET_NB_OUT]},
          {Lang[Editor::Diagnostic_Box], Par.Is_Checked(Par_Gen::PROFINET_ENABLE_DIAGNOSTIC)
                                             ? Lang[Text::Diagnostic_At].arg(Par[Par_Gen::PROFINET_DIAGNOSTIC_ADDRESS])
                                             : Lang[Text::No]}}}};
    // Each group a table of its own, their label columns lined up.
    QStringList Labels;
    for (const auto& [Caption, Rows] : Groups)
        for (const QStringList& Row : Rows)
            Labels.append(Row.first());
    for (const auto& [Caption, Rows] : Groups) {
        Blocks.append(Layout::Heading(Caption, 3));
        Layout::Table Values;
        Values.Rows = Rows;
        Values.Wraps = {true, true};
        Values.Bold_First_Column = true;
        Values.Labels_Also = Labels;
        Blocks.append(Layout::Grid(Values));
    }
}

struct Report_Parts {
    QList<Layout::Block> Blocks;
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

    QList<Layout::Block>& Doc = Parts.Blocks;
    const auto Labelled = [](QList<QStringList> Rows) {
        Layout::Table Lines;
        Lines.Rows = std::move(Rows);
        Lines.Wraps = {true, true};
        Lines.Bold_First_Column = true;
        return Layout::Grid(Lines);
    };
    Doc.append(Layout::Heading(Lang[Text::Title] + QStringLiteral(": ") + Space.Project_Name, 1));
    QStringList Files;
    for (const QString& Path : {Space.File_ParGen, Space.File_IEC61850_Variables, Space.File_TLS_Known_Cert})
        Files << Modified_Text(Path, Lang);
    Doc.append(Labelled({{Lang[Text::Configuration], Space.Project_Name},
                         {Lang[Text::Written_On], Request.Written_On.toString(QStringLiteral("yyyy-MM-dd HH:mm"))},
                         {Lang[Text::Program], QStringLiteral("%1 %2 - %3").arg(Identity::SW_Code, Identity::SW_Version,
                                                                                Identity::SW_Description)},
                         {Lang[Text::Project_Files], Files.join(u'\n')}}));

    Doc.append(Layout::Heading(Lang[Text::General_Parameters]));
    General_Parameters(Doc, Par, Reader, Lang);

    Doc.append(Layout::Heading(Lang[Text::Profinet_Identity]));
    QString Station_State = Lang[Text::Station_Name_Valid];
    for (const Par_Gen::Problem& P : Par_Gen::Find_Problems(Par, Lang))
        if (P.Element == Par_Gen::PROFINET_NAME_STA)
            Station_State = Lang[Text::Station_Name_Not_Valid].arg(P.Text.trimmed());
    Doc.append(Labelled({{Lang[Text::Station_Name],
                          Par[Par_Gen::PROFINET_NAME_STA] + QStringLiteral(" (") + Station_State + u')'},
                         {Lang[Text::Vendor_Device_Ids], Identity::Id_Text(Identity::Vendor_ID) + QStringLiteral(" / ")
                                                             + Identity::Id_Text(Identity::Device_ID)},
                         {Lang[Text::Input_Bytes], Par[Par_Gen::PROFINET_NB_IN]},
                         {Lang[Text::Output_Bytes], Par[Par_Gen::PROFINET_NB_OUT]}}));

    // The variables on landscape pages: thirteen columns keep their words whole there.
    Doc.append(Layout::New_Page(QPageLayout::Landscape));
    Doc.append(Layout::Heading(Lang[Text::Variables]));
    QList<QStringList> Rows;
    int Enabled = 0;
    for (const List_File::Stored_Row& Stored : Variables.Rows) {
        QStringList Texts = Variables_File::Editor_Texts(Variables_File::Row(Stored));
        Enabled += Texts.value(Variables_File::Enable) == QLatin1String("Y") ? 1 : 0;
        Rows.append(Texts);
    }
    Parts.Map = Variable_Placement::Analyse(Rows);
    Doc.append(Layout::Paragraph(Lang[Text::Variables_Count].arg(Rows.size()).arg(Enabled)));
    Layout::Table Variable_Table;
    for (qsizetype I = 0; I < Rows.size(); ++I)
        Variable_Table.Rows.append(QStringList{QString::number(I + 1)} + Rows[I]);
    for (int Column = 0; Column < IEC61850_Variables::Columns; ++Column) {
        Variable_Table.Headers.append(Lang[IEC61850_Variables::Header_Slot(Column)]);
        // A name and the other values stay on one line; a description wraps at its spaces.
        Variable_Table.Wraps.append(Column == IEC61850_Variables::Col_Mnemonic);
    }
    Variable_Table.Points = 8;
    Doc.append(Layout::Grid(Variable_Table));

    // The map page: the editor's drawing, its findings under it.
    Doc.append(Layout::New_Page(QPageLayout::Portrait));
    Doc.append(Layout::Heading(Lang[Variables_Text::Map_Title]));
    Doc.append(Layout::Map());
    QStringList Notes = Variable_Placement::Finding_Texts(Parts.Map, Lang);
    if (Notes.isEmpty())
        Notes.append(Lang[Variables_Text::Map_No_Findings]);
    Notes.append(Variable_Placement::Free_Text(Parts.Map, Lang));
    for (const QString& Line : Notes)
        Doc.append(Layout::Paragraph(Line, 8));

    Doc.append(Layout::New_Page(QPageLayout::Portrait));
    Doc.append(Layout::Heading(Lang[Text::Tls]));
    Doc.append(Layout::Heading(Lang[Text::Server_Key], 3));
    Details(Doc, {{Plain_Line, Key_Text(Reader, Par[Par_Gen::TLS_Server_Key], Par[Par_Gen::TLS_Server_Key_Password],
                                        Lang)}});
    Doc.append(Layout::Heading(Lang[Text::Server_Certificate], 3));
    Details(Doc, Certificate_Lines(Reader, Par[Par_Gen::TLS_Server_Server_Certificate], Lang));
    Doc.append(Layout::Heading(Lang[Text::Root_Certificate], 3));
    Details(Doc, Certificate_Lines(Reader, Par[Par_Gen::TLS_Server_Root_Certificate], Lang));
    for (qsizetype I = 0; I < Known.Rows.size(); ++I) {
        const Known_Cert_File::Row Item(Known.Rows[I]);
        const bool On = Item.Flag(Known_Cert_File::Enable, List_File::Reader::Image);
        Doc.append(Layout::Heading(
            Lang[Text::Known_Certificate].arg(QString::number(I + 1), On ? Lang[Text::Enabled] : Lang[Text::Disabled]),
            3));
        // The description the user gave it, as the editor's column names it.
        const QString Mnemonic = Item.Text(Known_Cert_File::Mnemonic, List_File::Reader::Editor);
        Details(Doc, {{Lang[Known_Cert_Text::Column_Mnemonic], Mnemonic.isEmpty() ? Lang[Text::None] : Mnemonic}});
        Details(Doc,
                Certificate_Lines(Reader, Item.Text(Known_Cert_File::Certificate, List_File::Reader::Image), Lang));
    }

    Doc.append(Layout::Heading(Lang[Text::Bank_Files]));
    if (!Fits) {
        Doc.append(Layout::Paragraph(Lang[Text::Does_Not_Fit]));
    } else {
        Layout::Table Banks;
        const auto Bank = [&](const QString& Path, const QByteArray& Bytes) {
            const auto Written = Read_Regular_File(Path);
            const QString In_Bin = !Written            ? Lang[Text::Not_In_Bin]
                                   : *Written == Bytes ? Lang[Text::Same_In_Bin]
                                                       : Lang[Text::Different_In_Bin];
            Banks.Rows.append({QFileInfo(Path).fileName(), QString::number(Bytes.size()), Sha256_Hex(Bytes), In_Bin});
        };
        Bank(Image.Bank1_Path(), Image.Bank1_Buffer.left(Image.Bank1_Length));
        Bank(Image.Bank2_Path(), Image.Bank2_Buffer.left(Image.Bank2_Length));
        Banks.Headers = {Lang[Text::File_Column], Lang[Text::Size_Column], Lang[Text::Sha256_Column],
                         Lang[Text::In_Bin_Column]};
        Banks.Wraps = {false, false, false, true};
        Banks.Points = 7;
        Doc.append(Layout::Grid(Banks));
    }

    Doc.append(Layout::Heading(Lang[Text::Findings]));
    const QList<Report_Finding> Findings = Report_Findings(Config, Lang, Separator, Reader, Compiled);
    if (Findings.isEmpty())
        Doc.append(Layout::Paragraph(Lang[Text::No_Findings]));
    // The files are named without their folder, which the title block names.
    const QString Folder = QDir::toNativeSeparators(Space.Project_Dir) + QDir::separator();
    for (Report_Finding F : Findings)
        Doc.append(Layout::Paragraph(F.Line.startsWith(Folder) ? F.Line.mid(Folder.size()) : F.Line, 8,
                                     F.Error ? QColor(0xb0, 0, 0) : QColor(0x80, 0x50, 0)));
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
        const Layout::Page_Setup Setup{QPageSize(Request.Page), 15, 10, Resolution};
        QPdfWriter Writer(&Pdf);
        Writer.setResolution(Resolution);
        Writer.setPageSize(Setup.Size);
        Writer.setPageOrientation(QPageLayout::Portrait);
        Writer.setPageMargins(QMarginsF(Setup.Margin_Mm, Setup.Margin_Mm, Setup.Margin_Mm, Setup.Margin_Mm),
                              QPageLayout::Millimeter);
        Writer.setTitle(Lang[Text::Title] + QStringLiteral(": ") + Space.Project_Name);
        Writer.setCreator(Identity::SW_Code + u' ' + Identity::SW_Version);
        // Measured on the device that draws them.
        Result.Layout = Layout::Lay_Out(Parts.Blocks, Setup, &Writer);
        Result.Resolution = Resolution;
        Result.Pages = int(Result.Layout.size());
        Writer.setPageOrientation(Result.Layout.first().Orientation);

        QPainter Painter;
        if (!Painter.begin(&Writer))
            return std::unexpected(QDir::toNativeSeparators(Request.Path));
        const qreal To_Points = 72.0 / Resolution;
        const qreal Margin_Points = Setup.Margin_Mm * 72.0 / 25.4;
        const QString Foot = Lang[Text::Title] + QStringLiteral(": ") + Space.Project_Name;
        for (int Number = 1; Number <= Result.Pages; ++Number) {
            const Layout::Page& Page = Result.Layout[Number - 1];
            if (Number > 1) {
                Writer.setPageOrientation(Page.Orientation);
                Writer.newPage();
            }
            Painter.save();
            Painter.setPen(Qt::NoPen);
            Painter.setBrush(QColor(0xe8, 0xe8, 0xe8));
            for (const QRectF& Shade : Page.Shaded)
                Painter.drawRect(Shade);
            Painter.setBrush(Qt::NoBrush);
            Painter.setPen(QPen(Qt::black, Resolution / 150.0));
            for (const QRectF& Frame : Page.Frames)
                Painter.drawRect(Frame);
            // Each line where the layout put it: nothing is wrapped or clipped here.
            for (const Layout::Line& Line : Page.Lines) {
                Painter.setFont(Line.Font);
                Painter.setPen(Line.Color);
                Painter.drawText(Line.Baseline, Line.Text);
            }
            Painter.restore();
            if (!Page.Map.isEmpty()) {
                const QFont Map_Font = Layout::Font(Layout::Map_Font_Points);
                const Variable_Map_Frame Frame{Page.Map.size(), Page.Map_Margin, Map_Font, Qt::white, Qt::black};
                Painter.save();
                Painter.translate(Page.Map.topLeft());
                Paint_Variable_Map(Painter, Parts.Map, Frame);
                Painter.restore();
                Result.Map_Page = Number;
                Result.Map_Rect = QRectF(Margin_Points + Page.Map.left() * To_Points,
                                         Margin_Points + Page.Map.top() * To_Points, Page.Map.width() * To_Points,
                                         Page.Map.height() * To_Points);
                Result.Map_Margin = Page.Map_Margin * To_Points;
                Result.Map_Font_Points = Layout::Map_Font_Points;
            }
            // The foot: the report's title and the page's number.
            Painter.save();
            Painter.setFont(Layout::Font(8));
            Painter.setPen(Qt::darkGray);
            const qreal Foot_H = Resolution * Setup.Foot_Mm / 25.4;
            const QRectF Line(0, Page.Body.height() + Foot_H * 0.4, Page.Body.width(), Foot_H * 0.6);
            Painter.drawLine(QLineF(0, Line.top(), Line.width(), Line.top()));
            Painter.drawText(Line, Qt::AlignLeft | Qt::AlignBottom, Foot);
            Painter.drawText(Line, Qt::AlignRight | Qt::AlignBottom, Lang[Text::Page_Of].arg(Number).arg(Result.Pages));
            Painter.restore();
        }
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
