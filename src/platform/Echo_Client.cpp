#include "platform/Echo_Client.h"
#include "platform/Errno_Text.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QStringList>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include "platform/Windows_Error.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <icmpapi.h>
#include <vector>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

constexpr int Header_Size = 8; // type, code, checksum, identifier, sequence
constexpr int Receive_Size = 1024;

#ifndef Q_OS_WIN
quint16 Internet_Checksum(const QByteArray& Bytes)
{
    quint32 Sum = 0;
    const auto* P = reinterpret_cast<const unsigned char*>(Bytes.constData());
    qsizetype I = 0;
    for (; I + 1 < Bytes.size(); I += 2)
        Sum += static_cast<quint32>(P[I] << 8 | P[I + 1]);
    if (I < Bytes.size())
        Sum += static_cast<quint32>(P[I] << 8);
    while (Sum >> 16)
        Sum = (Sum & 0xFFFF) + (Sum >> 16);
    return static_cast<quint16>(~Sum);
}

void Put_Be16(QByteArray& Bytes, int At, quint16 Value)
{
    Bytes[At] = static_cast<char>(Value >> 8);
    Bytes[At + 1] = static_cast<char>(Value & 0xFF);
}

quint16 Get_Be16(const unsigned char* P) { return static_cast<quint16>(P[0] << 8 | P[1]); }
#endif

// Four parts of one to three decimal digits, each 0..255. A leading zero is
// read as decimal, the way the address boxes and the updater read it; the
// system's resolver would take "010" as octal and ask another device.
bool Decimal_Quad(const QString& Text, in_addr& Address)
{
    const QStringList Parts = Text.split(u'.');
    if (Parts.size() != 4)
        return false;
    quint32 Value = 0;
    for (const QString& Part : Parts) {
        if (Part.isEmpty() || Part.size() > 3)
            return false;
        int Byte = 0;
        for (const QChar C : Part) {
            if (C < u'0' || C > u'9')
                return false;
            Byte = Byte * 10 + (C.unicode() - u'0');
        }
        if (Byte > 255)
            return false;
        Value = Value << 8 | static_cast<quint32>(Byte);
    }
    Address.s_addr = htonl(Value);
    return true;
}

// A dotted IPv4 text is taken as it is; anything else is a name to resolve.
std::expected<in_addr, QString> Resolve(const QString& Host)
{
    in_addr Address{};
    const QString Trimmed = Host.trimmed();
    const QByteArray Text = Trimmed.toUtf8();
    if (Text.isEmpty())
        return std::unexpected(QStringLiteral("no host given"));
    if (Decimal_Quad(Trimmed, Address))
        return Address;
#ifdef Q_OS_WIN
    // The resolver needs Winsock started; it stays started.
    static const bool Started = [] {
        WSADATA Data{};
        return ::WSAStartup(MAKEWORD(2, 2), &Data) == 0;
    }();
    if (!Started)
        return std::unexpected(QStringLiteral("%1: %2").arg(Host, Windows_Error_Text(::WSAGetLastError())));
    ADDRINFOW Hints{};
    Hints.ai_family = AF_INET;
    Hints.ai_socktype = SOCK_RAW;
    ADDRINFOW* Found = nullptr;
    const int Error = ::GetAddrInfoW(reinterpret_cast<const wchar_t*>(Trimmed.utf16()), nullptr, &Hints, &Found);
    if (Error != 0 || !Found)
        return std::unexpected(QStringLiteral("%1: %2").arg(Host, Windows_Error_Text(static_cast<unsigned long>(Error))));
    Address = reinterpret_cast<sockaddr_in*>(Found->ai_addr)->sin_addr;
    ::FreeAddrInfoW(Found);
#else
    addrinfo Hints{};
    Hints.ai_family = AF_INET;
    Hints.ai_socktype = SOCK_RAW;
    addrinfo* Found = nullptr;
    const int Error = getaddrinfo(Text.constData(), nullptr, &Hints, &Found);
    if (Error != 0 || !Found)
        return std::unexpected(QStringLiteral("%1: %2").arg(Host, QString::fromLocal8Bit(gai_strerror(Error))));
    Address = reinterpret_cast<sockaddr_in*>(Found->ai_addr)->sin_addr;
    freeaddrinfo(Found);
#endif
    return Address;
}

} // namespace

std::expected<quint32, QString> Icmp_Echo_Client::Resolve_Host(const QString& Host)
{
    const auto Address = Resolve(Host);
    if (!Address)
        return std::unexpected(Address.error());
    return ntohl(Address->s_addr);
}

#ifdef Q_OS_WIN

Icmp_Echo_Client::Icmp_Echo_Client() = default;

// The helper's handle is opened for the first request, not when the window starts.
void Icmp_Echo_Client::Open()
{
    Opened = true;
    const HANDLE Handle = ::IcmpCreateFile();
    if (Handle == INVALID_HANDLE_VALUE) {
        Open_Error = QStringLiteral("no ICMP: %1").arg(Last_Windows_Error_Text());
        return;
    }
    Icmp_Handle = Handle;
    Kind = Socket_Kind::Icmp_Helper;
}

Icmp_Echo_Client::~Icmp_Echo_Client()
{
    if (Icmp_Handle)
        ::IcmpCloseHandle(Icmp_Handle);
}

Icmp_Echo_Client::Socket_Kind Icmp_Echo_Client::Available_Socket()
{
    Icmp_Echo_Client Probe;
    Probe.Open();
    return Probe.Kind;
}

std::expected<int, QString> Icmp_Echo_Client::Echo(const QString& Host, const QByteArray& Data, int Timeout_Ms)
{
    const auto Target = Resolve(Host);
    if (!Target)
        return std::unexpected(Target.error());
    if (!Opened)
        Open();
    if (!Icmp_Handle)
        return std::unexpected(Open_Error);
    const QByteArray Sent = Data.left(Receive_Size - 28 - Header_Size);
    // The helper matches the reply to this request itself; the buffer holds
    // one reply, its data and room for an ICMP error.
    std::vector<unsigned char> Replies(sizeof(ICMP_ECHO_REPLY) + static_cast<size_t>(Sent.size()) + 8 + 64);
    const DWORD Count = ::IcmpSendEcho2(Icmp_Handle, nullptr, nullptr, nullptr, Target->s_addr,
                                        const_cast<char*>(Sent.constData()), static_cast<WORD>(Sent.size()), nullptr,
                                        Replies.data(), static_cast<DWORD>(Replies.size()),
                                        static_cast<DWORD>(qMax(Timeout_Ms, 1)));
    if (Count == 0) {
        const DWORD Error = ::GetLastError();
        // No reply in time, or the host is unreachable: no answer, no error.
        if (Error == IP_REQ_TIMED_OUT || Error == WAIT_TIMEOUT || Error == IP_DEST_HOST_UNREACHABLE
            || Error == IP_DEST_NET_UNREACHABLE || Error == ERROR_TIMEOUT)
            return 0;
        return std::unexpected(QStringLiteral("%1: %2").arg(Host, Windows_Error_Text(Error)));
    }
    const auto* Reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(Replies.data());
    if (Reply->Status != IP_SUCCESS || Reply->Address != Target->s_addr)
        return 0;
    return Header_Size + static_cast<int>(Reply->DataSize);
}

#else

Icmp_Echo_Client::Icmp_Echo_Client() = default;

// The socket is opened for the first request, not when the window starts.
void Icmp_Echo_Client::Open()
{
    Opened = true;
    Socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (Socket >= 0) {
        Kind = Socket_Kind::Datagram;
        // The kernel puts its own identifier (the socket's port) into our
        // requests and hands us only the replies that carry it.
        sockaddr_in Local{};
        Local.sin_family = AF_INET;
        if (::bind(Socket, reinterpret_cast<sockaddr*>(&Local), sizeof Local) == 0) {
            socklen_t Size = sizeof Local;
            if (::getsockname(Socket, reinterpret_cast<sockaddr*>(&Local), &Size) == 0) {
                Identifier = ntohs(Local.sin_port);
                Check_Identifier = true;
            }
        }
    } else {
        const int Datagram_Error = errno;
        Socket = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (Socket >= 0) {
            Kind = Socket_Kind::Raw;
            Identifier = static_cast<quint16>(QRandomGenerator::system()->generate());
            Check_Identifier = true;
        } else {
            Open_Error = QStringLiteral("no ICMP socket: datagram (%1), raw (%2)")
                             .arg(Errno_Text(Datagram_Error), Errno_Text(errno));
        }
    }
    Sequence = static_cast<quint16>(QRandomGenerator::system()->generate());
}

Icmp_Echo_Client::~Icmp_Echo_Client()
{
    if (Socket >= 0)
        ::close(Socket);
}

Icmp_Echo_Client::Socket_Kind Icmp_Echo_Client::Available_Socket()
{
    Icmp_Echo_Client Probe;
    Probe.Open();
    return Probe.Kind;
}

std::expected<int, QString> Icmp_Echo_Client::Echo(const QString& Host, const QByteArray& Data, int Timeout_Ms)
{
    const auto Target = Resolve(Host);
    if (!Target)
        return std::unexpected(Target.error());
    if (!Opened)
        Open();
    if (Socket < 0)
        return std::unexpected(Open_Error);

    const quint16 Our_Sequence = ++Sequence;
    QByteArray Request(Header_Size, '\0');
    Request[0] = static_cast<char>(ICMP_ECHO);
    Put_Be16(Request, 4, Identifier);
    Put_Be16(Request, 6, Our_Sequence);
    Request += Data.left(Receive_Size - 28 - Header_Size);
    Put_Be16(Request, 2, Internet_Checksum(Request));

    sockaddr_in To{};
    To.sin_family = AF_INET;
    To.sin_addr = *Target;
    if (::sendto(Socket, Request.constData(), static_cast<size_t>(Request.size()), 0,
                 reinterpret_cast<sockaddr*>(&To), sizeof To) < 0)
        return std::unexpected(QStringLiteral("%1: %2").arg(Host, Errno_Text(errno)));

    QDeadlineTimer Deadline(Timeout_Ms);
    unsigned char Buffer[Receive_Size];
    for (;;) {
        const qint64 Left = Deadline.remainingTime();
        if (Left <= 0)
            return 0;
        pollfd Wait{Socket, POLLIN, 0};
        const int Ready = ::poll(&Wait, 1, static_cast<int>(Left));
        if (Ready < 0 && errno == EINTR)
            continue;
        if (Ready < 0)
            return std::unexpected(Errno_Text(errno));
        if (Ready == 0)
            return 0;
        sockaddr_in From{};
        socklen_t From_Size = sizeof From;
        const ssize_t Got = ::recvfrom(Socket, Buffer, sizeof Buffer, 0, reinterpret_cast<sockaddr*>(&From), &From_Size);
        if (Got < 0)
            continue;
        const unsigned char* Icmp = Buffer;
        ssize_t Icmp_Size = Got;
        if (Kind == Socket_Kind::Raw) {
            // A raw socket sees every ICMP message with its IP header, our own
            // request on loopback among them.
            if (Got < 20)
                continue;
            const int Ip_Header = (Buffer[0] & 0x0F) * 4;
            Icmp = Buffer + Ip_Header;
            Icmp_Size = Got - Ip_Header;
        }
        if (Icmp_Size < Header_Size || Icmp[0] != ICMP_ECHOREPLY)
            continue;
        if (From.sin_addr.s_addr != Target->s_addr || Get_Be16(Icmp + 6) != Our_Sequence)
            continue;
        if (Check_Identifier && Get_Be16(Icmp + 4) != Identifier)
            continue;
        return static_cast<int>(Icmp_Size);
    }
}

#endif
