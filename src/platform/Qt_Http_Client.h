#pragma once

#include "platform/Http_Client.h"

// The HTTP client over a Qt TCP socket. The request is written by hand because
// the query must go out as HTTP/1.0 with exactly its own headers, which the
// higher-level Qt classes do not allow.
//
// Get waits on the calling (UI) thread, running its own event loop so the
// windows keep painting; user input that arrives meanwhile is dropped, so
// nothing can start a second query or close a window under the first. It gives
// up when the whole exchange takes longer than Timeout_Ms, and reads at most
// Max_Body bytes of the body (the rest is not fetched).
class Qt_Http_Client : public Http_Client {
public:
    static constexpr int Default_Timeout_Ms = 10000;
    static constexpr qsizetype Default_Max_Body = 64 * 1024;

    explicit Qt_Http_Client(int Timeout_Ms = Default_Timeout_Ms, qsizetype Max_Body = Default_Max_Body);
    std::expected<QByteArray, QString> Get(const Http_Request& Request) override;

    // The exact bytes Get sends for Request.
    static QByteArray Request_Bytes(const Http_Request& Request);

private:
    int Timeout_Ms;
    qsizetype Max_Body;
};
