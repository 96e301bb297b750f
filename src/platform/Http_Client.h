#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <expected>
#include <utility>

// One HTTP GET as the version query sends it.
struct Http_Request {
    QString Host;
    quint16 Port = 80;
    QByteArray Target; // path and query, exactly as on the request line
    // Sent in this order after the Host line; nothing else is added.
    QList<std::pair<QByteArray, QByteArray>> Headers;
};

// The HTTP client seam: one blocking HTTP/1.0 GET, no cookies kept. Gives the
// body of a reply with a success status, or the reason there is none.
class Http_Client {
public:
    virtual ~Http_Client() = default;
    virtual std::expected<QByteArray, QString> Get(const Http_Request& Request) = 0;
};
