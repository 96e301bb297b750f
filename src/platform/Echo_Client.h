#pragma once

#include <QByteArray>
#include <QString>

#include <expected>

// One ICMP echo request to an IPv4 host.
class Echo_Client {
public:
    virtual ~Echo_Client() = default;
    // Sends one echo request carrying Data to Host (an IPv4 address text or a
    // name to resolve) and waits up to Timeout_Ms for its reply. The value is
    // the number of bytes received, 0 when no reply came in time; the error is
    // for a host that cannot be used or an echo that cannot be sent.
    virtual std::expected<int, QString> Echo(const QString& Host, const QByteArray& Data, int Timeout_Ms) = 0;
};

// The real client. On Linux over sockets: an unprivileged ICMP datagram
// socket where the system allows it (net.ipv4.ping_group_range), a raw socket
// otherwise (needs CAP_NET_RAW). On Windows through the system's ICMP helper
// (IcmpSendEcho2), which needs no administrator rights. Only the reply to our
// own request counts.
class Icmp_Echo_Client : public Echo_Client {
public:
    enum class Socket_Kind { None, Datagram, Raw, Icmp_Helper };

    Icmp_Echo_Client();
    ~Icmp_Echo_Client() override;
    std::expected<int, QString> Echo(const QString& Host, const QByteArray& Data, int Timeout_Ms) override;

    // Which socket kind the system lets this process open; None when neither.
    static Socket_Kind Available_Socket();
    // The IPv4 address (host byte order) a host text names: four decimal
    // parts as they read, anything else resolved as a name.
    static std::expected<quint32, QString> Resolve_Host(const QString& Host);

private:
    void Open();

    bool Opened = false;
    int Socket = -1;
    Socket_Kind Kind = Socket_Kind::None;
    quint16 Identifier = 0;
    bool Check_Identifier = false;
    quint16 Sequence = 0;
    QString Open_Error;
    void* Icmp_Handle = nullptr; // Windows: the ICMP helper's handle
};
