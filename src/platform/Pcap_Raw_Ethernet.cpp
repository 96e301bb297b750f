#include "platform/Raw_Ethernet.h"

#include <QCoreApplication>
#include <QDir>

#include <pcap/pcap.h>

#ifdef __linux__
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#endif

#include <cstring>
#include <thread>

namespace {

constexpr const char* Dcp_Filter = "ether proto 0x8892 or (vlan and ether proto 0x8892)";
constexpr int Snap_Length = 1522;

QString Pcap_Text(const char* Text) { return QString::fromLocal8Bit(Text).trimmed(); }

class Pcap_Port : public Raw_Ethernet_Port {
public:
    Pcap_Port(pcap_t* Handle_, std::array<quint8, 6> Mac_) : Handle(Handle_), Own_Mac(Mac_) {}
    ~Pcap_Port() override { pcap_close(Handle); }

    std::array<quint8, 6> Mac() const override { return Own_Mac; }

    std::expected<void, QString> Send(const QByteArray& Frame) override
    {
        if (pcap_sendpacket(Handle, reinterpret_cast<const u_char*>(Frame.constData()), static_cast<int>(Frame.size())) != 0)
            return std::unexpected(Pcap_Text(pcap_geterr(Handle)));
        return {};
    }

    std::optional<QByteArray> Receive(Deadline Until) override
    {
        for (;;) {
            pcap_pkthdr* Header = nullptr;
            const u_char* Data = nullptr;
            const int Got = pcap_next_ex(Handle, &Header, &Data);
            if (Got == 1)
                return QByteArray(reinterpret_cast<const char*>(Data), static_cast<qsizetype>(Header->caplen));
            if (Got < 0) {
                // The interface went away: nothing more comes, and the caller's wait is not spun through.
                std::this_thread::sleep_until(Until);
                return std::nullopt;
            }
            const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Until - std::chrono::steady_clock::now());
            if (Left.count() <= 0)
                return std::nullopt;
#ifdef __linux__
            pollfd Wait{pcap_get_selectable_fd(Handle), POLLIN, 0};
            ::poll(&Wait, 1, static_cast<int>(std::min<qint64>(Left.count() + 1, 1000)));
#else
            std::this_thread::sleep_for(std::min(Left, std::chrono::milliseconds(1)));
#endif
        }
    }

private:
    pcap_t* Handle;
    std::array<quint8, 6> Own_Mac;
};

// The interface's hardware address, from the system's own list.
std::optional<std::array<quint8, 6>> Mac_Of(const pcap_if_t& Device)
{
#ifdef __linux__
    for (const pcap_addr_t* A = Device.addresses; A; A = A->next) {
        if (A->addr && A->addr->sa_family == AF_PACKET) {
            const auto* Link = reinterpret_cast<const sockaddr_ll*>(A->addr);
            if (Link->sll_halen != 6 || Link->sll_hatype != ARPHRD_ETHER)
                return std::nullopt;
            std::array<quint8, 6> Mac{};
            std::memcpy(Mac.data(), Link->sll_addr, 6);
            return Mac;
        }
    }
    // Older libraries leave the link address out: ask the interface itself
    // (in this process's network namespace, which the files under /sys may not show).
    const int Socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (Socket < 0)
        return std::nullopt;
    ifreq Request{};
    std::strncpy(Request.ifr_name, Device.name, IFNAMSIZ - 1);
    const bool Got = ::ioctl(Socket, SIOCGIFHWADDR, &Request) == 0;
    ::close(Socket);
    if (!Got || Request.ifr_hwaddr.sa_family != ARPHRD_ETHER)
        return std::nullopt;
    std::array<quint8, 6> Mac{};
    std::memcpy(Mac.data(), Request.ifr_hwaddr.sa_data, 6);
    return Mac;
#else
    (void)Device;
    return std::nullopt;
#endif
}

bool Is_Rights_Error(int Code) { return Code == PCAP_ERROR_PERM_DENIED || Code == PCAP_ERROR_PROMISC_PERM_DENIED; }

} // namespace

QString Pcap_Raw_Ethernet::Rights_Text()
{
#ifdef _WIN32
    return QStringLiteral("Sending raw Ethernet frames needs Npcap (https://npcap.com), installed with "
                          "\"Restrict Npcap driver's access to Administrators only\" unchecked, or the program "
                          "run as administrator.");
#else
    const QString Program = QCoreApplication::instance() ? QDir::toNativeSeparators(QCoreApplication::applicationFilePath())
                                                         : QStringLiteral("the program");
    return QStringLiteral("Sending raw Ethernet frames needs the capabilities CAP_NET_RAW and CAP_NET_ADMIN. "
                          "Grant them once with: sudo setcap cap_net_raw,cap_net_admin+eip %1 "
                          "(or run the program as root).")
        .arg(Program);
#endif
}

std::expected<QList<Ethernet_Interface>, Raw_Ethernet_Failure> Pcap_Raw_Ethernet::Interfaces()
{
    char Error[PCAP_ERRBUF_SIZE] = {};
    pcap_if_t* All = nullptr;
    if (pcap_findalldevs(&All, Error) != 0)
        return std::unexpected(Raw_Ethernet_Failure{false, Pcap_Text(Error)});
    QList<Ethernet_Interface> Found;
    for (const pcap_if_t* Device = All; Device; Device = Device->next) {
        if ((Device->flags & PCAP_IF_LOOPBACK) != 0)
            continue;
        const auto Mac = Mac_Of(*Device);
        if (!Mac)
            continue;
        Ethernet_Interface Interface;
        Interface.Name = QString::fromLocal8Bit(Device->name);
        Interface.Description = Device->description ? QString::fromLocal8Bit(Device->description) : QString();
        Interface.Mac = *Mac;
        Interface.Up = (Device->flags & PCAP_IF_UP) != 0;
        for (const pcap_addr_t* A = Device->addresses; A; A = A->next) {
            if (A->addr && A->addr->sa_family == AF_INET) {
                const auto* In = reinterpret_cast<const sockaddr_in*>(A->addr);
                Interface.Addresses.append(Ipv4_Address::From_Value(ntohl(In->sin_addr.s_addr)));
            }
        }
        Found.append(Interface);
    }
    pcap_freealldevs(All);
    return Found;
}

std::expected<std::unique_ptr<Raw_Ethernet_Port>, Raw_Ethernet_Failure> Pcap_Raw_Ethernet::Open(const QString& Name,
                                                                                                bool Promiscuous)
{
    const auto Interfaces_Now = Interfaces();
    if (!Interfaces_Now)
        return std::unexpected(Interfaces_Now.error());
    const auto Found = std::find_if(Interfaces_Now->begin(), Interfaces_Now->end(),
                                    [&](const Ethernet_Interface& I) { return I.Name == Name; });
    if (Found == Interfaces_Now->end())
        return std::unexpected(Raw_Ethernet_Failure{false, QStringLiteral("%1: no such Ethernet interface").arg(Name)});

    char Error[PCAP_ERRBUF_SIZE] = {};
    pcap_t* Handle = pcap_create(Name.toLocal8Bit().constData(), Error);
    if (!Handle)
        return std::unexpected(Raw_Ethernet_Failure{false, Pcap_Text(Error)});
    const auto Fail = [&](int Code, const QString& Text) {
        pcap_close(Handle);
        return std::unexpected(Raw_Ethernet_Failure{
            Is_Rights_Error(Code), Is_Rights_Error(Code) ? QStringLiteral("%1: %2\n%3").arg(Name, Text, Rights_Text())
                                                         : QStringLiteral("%1: %2").arg(Name, Text)});
    };
    pcap_set_snaplen(Handle, Snap_Length);
    pcap_set_promisc(Handle, Promiscuous ? 1 : 0);
    pcap_set_immediate_mode(Handle, 1);
    pcap_set_timeout(Handle, 1);
    const int Activated = pcap_activate(Handle);
    if (Activated < 0)
        return Fail(Activated, Activated == PCAP_ERROR ? Pcap_Text(pcap_geterr(Handle))
                                                       : Pcap_Text(pcap_statustostr(Activated)));
    if (pcap_datalink(Handle) != DLT_EN10MB)
        return Fail(0, QStringLiteral("not an Ethernet interface"));
    // Only what others send: our own frames are not answers.
    pcap_setdirection(Handle, PCAP_D_IN);
    bpf_program Program{};
    if (pcap_compile(Handle, &Program, Dcp_Filter, 1, PCAP_NETMASK_UNKNOWN) != 0)
        return Fail(0, Pcap_Text(pcap_geterr(Handle)));
    const int Filtered = pcap_setfilter(Handle, &Program);
    pcap_freecode(&Program);
    if (Filtered != 0)
        return Fail(0, Pcap_Text(pcap_geterr(Handle)));
    if (pcap_setnonblock(Handle, 1, Error) != 0)
        return Fail(0, Pcap_Text(Error));
    return std::make_unique<Pcap_Port>(Handle, Found->Mac);
}
