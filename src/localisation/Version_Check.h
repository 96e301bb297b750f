#pragma once

#include "platform/Http_Client.h"

#include <QString>

// The question to the maker's web server which version of this software is
// published, and what its answer means.
namespace Version_Check {

inline constexpr int First_Interval_Ms = 60000;  // first check after the timer is enabled
inline constexpr int Later_Interval_Ms = 7200000; // every two hours afterwards

// Where the query goes: the maker's web server, unless a test points it elsewhere.
struct Server {
    QString Host;
    quint16 Port = 80;
};
Server Maker_Server();

// The GET sent to Where: path, query with the software code, and the two headers.
Http_Request Request(const Server& Where);

// True exactly when Reply names a newer version than this program's own.
bool Reply_Is_Newer(const QString& Reply);

// Sends the query and judges its answer; any failure of the query, or no
// client at all, counts as no newer version.
bool Is_Newer_Published(Http_Client* Client, const Server& Where);

// Link markup for a label: Text shown, Url the target; Text may come from a
// language file, so it is escaped.
QString Link_Markup(const QString& Url, const QString& Text);

} // namespace Version_Check

// A version text ("1.000") as the number made of its first, third, fourth and
// fifth characters (1000); -1 when the text is not a version. Everything up to
// the first blank is skipped, so "VER. 1.001" gives 1001.
int Conv_Version(const QString& Ver_str);
