#pragma once

#include "platform/Http_Client.h"
#include "support/Fake_Desktop_Shell.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <expected>
#include <functional>

// Answers every GET from a queue (an empty queue fails like an unreachable
// server) and keeps the requests; nothing leaves the process.
class Fake_Http_Client : public Http_Client {
public:
    std::expected<QByteArray, QString> Get(const Http_Request& Request) override
    {
        Requests.append(Request);
        if (On_Get)
            On_Get();
        if (Replies.isEmpty())
            return std::unexpected(QStringLiteral("unreachable"));
        return Replies.takeFirst();
    }

    QList<std::expected<QByteArray, QString>> Replies;
    QList<Http_Request> Requests;
    std::function<void()> On_Get; // runs while the "query" is in progress
};

