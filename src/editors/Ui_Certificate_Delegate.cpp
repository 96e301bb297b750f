#include "editors/Ui_Certificate_Delegate.h"

#include "certificates/Crypto_Module.h"
#include "certificates/Pem_Contents.h"
#include "editors/Table_Model.h"
#include "foundation/Workspace.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

namespace {
constexpr qsizetype Seen_Limit = 64;
const QColor Warning_Colour(0xb0, 0x00, 0x00);
} // namespace

Certificate_Delegate::Certificate_Delegate(Table_Model& Model, const Workspace& Space_, QObject* Parent)
    : Table_Delegate(Model, Space_, Parent), Space(Space_)
{
}

Certificate_Delegate::Look Certificate_Delegate::Look_Of(const QString& Text) const
{
    using namespace Certificates;
    const QDateTime Now = QDateTime::currentDateTimeUtc();
    // What is expired depends on the day: a table left open over midnight is read again.
    if (Seen_On != Now.date() || Seen.size() > Seen_Limit) {
        Seen.clear();
        Seen_On = Now.date();
    }
    if (const auto Known = Seen.constFind(Text); Known != Seen.cend())
        return *Known;
    const Pem_Reading Read = Read_Pem(Text);
    Look Made;
    if (!Read) {
        // Nothing can be told about the row: it says why, marked.
        Made.Summary = Crypto_Missing_Text(Read.error(), Space.Lang_Strings);
        Made.Details = Made.Summary;
        Made.Marked = true;
    } else if (const Pem_Contents& Found = *Read; !Found.Blank) {
        Made.Summary = Summary(Found, Now, Space.Lang_Strings);
        Made.Details = Details(Found, Now, Space.Lang_Strings);
        bool Out_Of_Date = false;
        for (const Certificate_Info& Certificate : Found.Certificates)
            Out_Of_Date = Out_Of_Date || Certificate.Not_After < Now || Certificate.Not_Before > Now;
        Made.Marked = !Found.Is_Single_Certificate() || Out_Of_Date;
    }
    Seen.insert(Text, Made);
    return Made;
}

void Certificate_Delegate::Dress_Cell(QStyleOptionViewItem* Option, const QModelIndex& Index) const
{
    const Look Shown = Look_Of(Index.data(Qt::EditRole).toString());
    if (Shown.Summary.isEmpty())
        return;
    Option->text = Shown.Summary;
    if (Shown.Marked) {
        Option->palette.setColor(QPalette::Text, Warning_Colour);
        Option->palette.setColor(QPalette::HighlightedText, Warning_Colour.lighter(220));
    }
}

bool Certificate_Delegate::helpEvent(QHelpEvent* Event, QAbstractItemView* View, const QStyleOptionViewItem& Option,
                                     const QModelIndex& Index)
{
    if (Event->type() != QEvent::ToolTip || !Index.isValid())
        return Table_Delegate::helpEvent(Event, View, Option, Index);
    const Look Shown = Look_Of(Index.data(Qt::EditRole).toString());
    if (Shown.Details.isEmpty()) {
        QToolTip::hideText();
        return true;
    }
    // A summary cut by the column is given whole above the details.
    const int Room = Option.rect.width() - 2 * View->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, View) - 2;
    const bool Cut = Option.fontMetrics.horizontalAdvance(Shown.Summary) > Room;
    const QString Hint = Cut && !Shown.Details.startsWith(Shown.Summary) ? Shown.Summary + QStringLiteral("\n\n") + Shown.Details
                                                                         : Shown.Details;
    QToolTip::showText(Event->globalPos(), Hint, View);
    return true;
}
