#include "commission/Ui_Commission_Record.h"

#include "commission/Commission_Texts.h"
#include "foundation/Identity.h"
#include "foundation/Lang_Strings.h"
#include "foundation/Workspace.h"
#include "platform/File_Write.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace Commission {

namespace {

namespace Text = Commission_Text;

constexpr int Resolution = 300;
constexpr qreal Margin_Mm = 15;

QString Esc(const QString& T) { return T.toHtmlEscaped(); }

QFont Record_Font(qreal Points, bool Bold = false)
{
    QFont Font(QStringLiteral("DejaVu Sans"));
    Font.setPointSizeF(Points);
    Font.setBold(Bold);
    // Without ligatures: the text stays searchable and copyable letter by letter.
    Font.setStyleStrategy(QFont::PreferNoShaping);
    return Font;
}

QString Html_Of(const Record& Rec, const Lang_Table& Lang)
{
    QString H = QStringLiteral("<h1>%1</h1>").arg(Esc(Lang[Text::Record_Title]));
    H += QStringLiteral("<p><b>%1:</b> %2<br/><b>%3:</b> %4<br/><b>%5:</b> %6</p>")
             .arg(Esc(Lang[Text::Record_List]), Esc(Rec.List_Name), Esc(Lang[Text::Record_Date]),
                  Esc(Rec.Date.toString(QStringLiteral("yyyy-MM-dd HH:mm"))), Esc(Lang[Text::Record_Interface]),
                  Esc(Rec.Interface));
    H += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>");
    for (const int Slot : {Text::Column_Mac, Text::Column_Name, Text::Column_Address, Text::Column_Configuration,
                           Text::Record_Sha, Text::Column_State, Text::Record_Time})
        H += QStringLiteral("<th bgcolor=\"#e8e8e8\" align=\"left\">%1</th>").arg(Esc(Lang[Slot]));
    H += QStringLiteral("</tr></thead>");
    for (const Record_Row& R : Rec.Rows) {
        const QString Sha = R.Bank1_Sha256.isEmpty()
                                ? QString()
                                : QStringLiteral("<span style=\"font-family:'DejaVu Sans Mono'; font-size:5pt\">%1<br/>%2</span>")
                                      .arg(Esc(R.Bank1_Sha256), Esc(R.Bank2_Sha256));
        H += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td><b>%6</b><br/>"
                            "<span style=\"font-size:6pt\">%7</span></td><td>%8</td></tr>")
                 .arg(Esc(R.Mac), Esc(R.Station_Name), Esc(R.Address), Esc(R.Configuration), Sha,
                      // Why, where it went wrong; a gateway done needs no story.
                      Esc(Lang[Text::State_Slot(R.State)]), Is_Success(R.State) ? QString() : Esc(R.Text),
                      Esc(R.Time.isValid() ? R.Time.toString(QStringLiteral("HH:mm:ss")) : QString()));
    }
    H += QStringLiteral("</table>");
    // The signature lines: one for each who signs.
    H += QStringLiteral("<p>&nbsp;</p><table width=\"100%\" cellpadding=\"6\"><tr>");
    for (const int Who : {Text::Record_Engineer, Text::Record_Customer})
        H += QStringLiteral("<td width=\"50%\"><b>%1</b><br/><br/><br/>______________________________<br/>%2</td>")
                 .arg(Esc(Lang[Who]), Esc(Lang[Text::Record_Signature]));
    H += QStringLiteral("</tr></table>");
    return H;
}

} // namespace

std::expected<void, QString> Write_Record_Pdf(const Record& Rec, const QString& Path, const Workspace& Space)
{
    const Lang_Table& Lang = Space.Lang_Strings;
    QBuffer Pdf;
    Pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter Writer(&Pdf);
        Writer.setResolution(Resolution);
        Writer.setPageSize(QPageSize(QPageSize::A4));
        Writer.setPageMargins(QMarginsF(Margin_Mm, Margin_Mm, Margin_Mm, Margin_Mm), QPageLayout::Millimeter);
        Writer.setTitle(Lang[Text::Record_Title] + QStringLiteral(": ") + Rec.List_Name);
        Writer.setCreator(Identity::SW_Code + u' ' + Identity::SW_Version);
        QPainter Painter;
        if (!Painter.begin(&Writer))
            return std::unexpected(QDir::toNativeSeparators(Path));
        const QRectF Page = Writer.pageLayout().paintRectPixels(Resolution);
        const qreal W = Page.width();
        const qreal Footer_H = Resolution * 10 / 25.4;
        const qreal Body_H = Page.height() - Footer_H;
        QTextDocument Doc;
        Doc.documentLayout()->setPaintDevice(&Writer);
        Doc.setDefaultFont(Record_Font(8));
        Doc.setDefaultStyleSheet(QStringLiteral("h1 { font-size: 16pt; } th { font-weight: bold; }"));
        Doc.setHtml(Html_Of(Rec, Lang));
        Doc.setPageSize(QSizeF(W, Body_H));
        const int Pages = Doc.pageCount();
        for (int I = 0; I < Pages; ++I) {
            if (I > 0)
                Writer.newPage();
            Painter.save();
            Painter.translate(0, -I * Body_H);
            Doc.drawContents(&Painter, QRectF(0, I * Body_H, W, Body_H));
            Painter.restore();
            Painter.save();
            Painter.setFont(Record_Font(8));
            Painter.setPen(Qt::darkGray);
            const QRectF Line(0, Page.height() - Footer_H * 0.6, W, Footer_H * 0.6);
            Painter.drawLine(QLineF(0, Line.top(), W, Line.top()));
            Painter.drawText(Line, Qt::AlignLeft | Qt::AlignBottom, Lang[Text::Record_Title] + QStringLiteral(": ") + Rec.List_Name);
            Painter.drawText(Line, Qt::AlignRight | Qt::AlignBottom, Lang[Text::Record_Page_Of].arg(I + 1).arg(Pages));
            Painter.restore();
        }
        if (!Painter.end())
            return std::unexpected(QDir::toNativeSeparators(Path));
    }
    if (Pdf.data().isEmpty())
        return std::unexpected(QDir::toNativeSeparators(Path));
    if (const auto Saved = Write_File_Atomic(Path, Pdf.data()); !Saved)
        return std::unexpected(Space.Write_Failure_Text(Saved.error()));
    return {};
}

} // namespace Commission
