#include "localisation/Version_Check.h"

#include "foundation/Text_Rules.h"
#include "foundation/Identity.h"

#include <optional>

namespace {

// A whole decimal integer with an optional sign, nothing else.
std::optional<int> Decimal(const QString& Text)
{
    qsizetype I = 0;
    if (I < Text.size() && (Text[I] == u'-' || Text[I] == u'+'))
        ++I;
    if (I == Text.size())
        return std::nullopt;
    for (qsizetype J = I; J < Text.size(); ++J)
        if (Text[J] < u'0' || Text[J] > u'9')
            return std::nullopt;
    return Text.toInt();
}

} // namespace

int Conv_Version(const QString& Ver_str)
{
    const qsizetype Blank = Ver_str.indexOf(u' ');
    const QString Version = Trimmed(Blank >= 0 ? Ver_str.mid(Blank + 1) : Ver_str);
    if (Version.size() < 5)
        return -1;
    const QString Digits = QString(Version[0]) + Version[2] + Version[3] + Version[4];
    return Decimal(Digits).value_or(-1);
}

namespace Version_Check {

Server Maker_Server() { return Server{Identity::Maker_Host, 80}; }

Http_Request Request(const Server& Where)
{
    Http_Request Get;
    Get.Host = Where.Host;
    Get.Port = Where.Port;
    Get.Target = "/home/download/GetversionSW.asp?nomesw=" + Identity::SW_Code.toUtf8();
    Get.Headers = {
        {"Accept", "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"},
        {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
    };
    return Get;
}

bool Reply_Is_Newer(const QString& Reply)
{
    // The server may end its answer with a line break.
    const QString Answer = Trimmed(Reply);
    const QString Upper = Ascii_Upper(Answer);
    if (Upper.isEmpty() || Upper == QStringLiteral("VER. 0.000"))
        return false;
    const int Own = Conv_Version(Identity::SW_Version);
    const int Published = Conv_Version(Answer);
    return Own != -1 && Published != -1 && Published > Own;
}

bool Is_Newer_Published(Http_Client* Client, const Server& Where)
{
    if (!Client)
        return false;
    const auto Body = Client->Get(Request(Where));
    return Body && Reply_Is_Newer(QString::fromUtf8(*Body));
}

QString Link_Markup(const QString& Url, const QString& Text)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(Url.toHtmlEscaped(), Text.toHtmlEscaped());
}

} // namespace Version_Check
