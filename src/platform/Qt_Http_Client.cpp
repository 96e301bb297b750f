#include "platform/Qt_Http_Client.h"

#include "platform/Input_Blocker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

namespace {

using Get_Result = std::expected<QByteArray, QString>;

// Reads the reply as it arrives: status line, headers, then the body up to a limit.
class Reply_Reader {
public:
    explicit Reply_Reader(qsizetype Max_Body) : Max_Body(Max_Body) {}

    void Feed(QByteArray Data)
    {
        if (Failure)
            return;
        if (!In_Body) {
            Head += Data;
            const qsizetype End = Header_End();
            if (End < 0) {
                if (Head.size() > Max_Head)
                    Failure = QStringLiteral("reply headers too long");
                return;
            }
            Data = Head.mid(End);
            Head.truncate(End);
            Read_Head();
            In_Body = true;
        }
        const qsizetype Room = Body_Limit() - Body.size();
        if (Room > 0)
            Body += Data.left(Room);
    }

    // True once nothing more needs to be read.
    bool Complete() const
    {
        return Failure || (In_Body && (!Is_Success() || Body.size() >= Body_Limit()));
    }

    Get_Result Result() const
    {
        if (Failure)
            return std::unexpected(*Failure);
        if (!In_Body)
            return std::unexpected(QStringLiteral("the connection closed before a complete reply"));
        if (!Is_Success())
            return std::unexpected(QStringLiteral("the server answered with status %1").arg(Status));
        return Body;
    }

    // The server closed the connection: what was read is the reply, unless it
    // announced more than arrived.
    Get_Result End_Of_Stream() const
    {
        if (In_Body && Is_Success() && Length >= 0 && Body.size() < Body_Limit())
            return std::unexpected(QStringLiteral("the transfer broke off"));
        return Result();
    }

private:
    static constexpr qsizetype Max_Head = 64 * 1024;

    qsizetype Header_End() const
    {
        const qsizetype Crlf = Head.indexOf("\r\n\r\n");
        const qsizetype Lf = Head.indexOf("\n\n");
        if (Crlf >= 0 && (Lf < 0 || Crlf < Lf))
            return Crlf + 4;
        return Lf >= 0 ? Lf + 2 : -1;
    }

    void Read_Head()
    {
        const QList<QByteArray> Lines = Head.split('\n');
        const QList<QByteArray> Status_Line = Lines.value(0).trimmed().split(' ');
        bool Number = false;
        Status = Status_Line.value(1).toInt(&Number);
        if (!Status_Line.value(0).startsWith("HTTP/") || !Number) {
            Failure = QStringLiteral("the reply is not HTTP");
            return;
        }
        for (qsizetype I = 1; I < Lines.size(); ++I) {
            const QByteArray Line = Lines[I].trimmed();
            const qsizetype Colon = Line.indexOf(':');
            if (Colon > 0 && Line.left(Colon).trimmed().compare("Content-Length", Qt::CaseInsensitive) == 0) {
                bool Ok = false;
                const qint64 Value = Line.mid(Colon + 1).trimmed().toLongLong(&Ok);
                if (Ok && Value >= 0)
                    Length = Value;
            }
        }
    }

    bool Is_Success() const { return Status >= 200 && Status <= 299; }
    qsizetype Body_Limit() const { return Length >= 0 && Length < Max_Body ? qsizetype(Length) : Max_Body; }

    qsizetype Max_Body;
    QByteArray Head;
    QByteArray Body;
    bool In_Body = false;
    int Status = 0;
    qint64 Length = -1;
    std::optional<QString> Failure;
};

} // namespace

Qt_Http_Client::Qt_Http_Client(int Timeout_Ms_, qsizetype Max_Body_) : Timeout_Ms(Timeout_Ms_), Max_Body(Max_Body_) {}

QByteArray Qt_Http_Client::Request_Bytes(const Http_Request& Request)
{
    QByteArray Host = Request.Host.toUtf8();
    if (Host.contains(':'))
        Host = '[' + Host + ']';
    if (Request.Port != 80)
        Host += ':' + QByteArray::number(Request.Port);
    QByteArray Bytes = "GET " + Request.Target + " HTTP/1.0\r\nHost: " + Host + "\r\n";
    for (const auto& [Name, Value] : Request.Headers)
        Bytes += Name + ": " + Value + "\r\n";
    return Bytes + "\r\n";
}

std::expected<QByteArray, QString> Qt_Http_Client::Get(const Http_Request& Request)
{
    QTcpSocket Socket;
    Socket.setProxy(QNetworkProxy::NoProxy);
    QEventLoop Loop;
    QTimer Deadline;
    Deadline.setSingleShot(true);
    Reply_Reader Reader(Max_Body);
    std::optional<Get_Result> Outcome;

    const auto Finish = [&](Get_Result Result) {
        if (Outcome)
            return;
        Outcome = std::move(Result);
        Loop.quit();
    };
    QObject::connect(&Socket, &QTcpSocket::connected, &Loop, [&] { Socket.write(Request_Bytes(Request)); });
    QObject::connect(&Socket, &QTcpSocket::readyRead, &Loop, [&] {
        Reader.Feed(Socket.readAll());
        if (Reader.Complete())
            Finish(Reader.Result());
    });
    QObject::connect(&Socket, &QTcpSocket::disconnected, &Loop, [&] {
        Reader.Feed(Socket.readAll());
        Finish(Reader.End_Of_Stream());
    });
    QObject::connect(&Socket, &QTcpSocket::errorOccurred, &Loop, [&](QAbstractSocket::SocketError Error) {
        if (Error == QAbstractSocket::RemoteHostClosedError) {
            // The normal end of an HTTP/1.0 reply; the disconnect carries it.
            if (Socket.state() == QAbstractSocket::UnconnectedState) {
                Reader.Feed(Socket.readAll());
                Finish(Reader.End_Of_Stream());
            }
            return;
        }
        Finish(std::unexpected(Socket.errorString()));
    });
    QObject::connect(&Deadline, &QTimer::timeout, &Loop, [&] {
        Finish(std::unexpected(QStringLiteral("no reply within %1 ms").arg(Timeout_Ms)));
    });

    const Input_Blocker Blocker;
    Deadline.start(Timeout_Ms);
    Socket.connectToHost(Request.Host, Request.Port);
    if (!Outcome)
        Loop.exec();
    // The exchange is over: closing the socket must not reach the handlers above.
    QObject::disconnect(&Socket, nullptr, &Loop, nullptr);
    Socket.abort();
    return *Outcome;
}
