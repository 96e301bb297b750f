#include "platform/Raw_Ethernet.h"

#include <QCoreApplication>
#include <QDir>
#include "platform/Program_Module.h"

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
#elif defined(_WIN32)
#include <winsock2.h>
#include <iphlpapi.h>
#include <vector>
#endif

#include <cstring>
#include <memory>
#include <optional>
#include <type_traits>
#include <thread>

namespace {

constexpr const char* Dcp_Filter = "ether proto 0x8892 or (vlan and ether proto 0x8892)";
constexpr int Snap_Length = 1522;

// The library's functions, resolved when it is loaded.
struct Pcap_Api {
    decltype(&::pcap_findalldevs) findalldevs = nullptr;
    decltype(&::pcap_freealldevs) freealldevs = nullptr;
    decltype(&::pcap_create) create = nullptr;
    decltype(&::pcap_close) close = nullptr;
    decltype(&::pcap_set_snaplen) set_snaplen = nullptr;
    decltype(&::pcap_set_promisc) set_promisc = nullptr;
    decltype(&::pcap_set_immediate_mode) set_immediate_mode = nullptr;
    decltype(&::pcap_set_timeout) set_timeout = nullptr;
    decltype(&::pcap_activate) activate = nullptr;
    decltype(&::pcap_geterr) geterr = nullptr;
    decltype(&::pcap_statustostr) statustostr = nullptr;
    decltype(&::pcap_datalink) datalink = nullptr;
    decltype(&::pcap_setdirection) setdirection = nullptr;
    decltype(&::pcap_compile) compile = nullptr;
    decltype(&::pcap_setfilter) setfilter = nullptr;
    decltype(&::pcap_freecode) freecode = nullptr;
    decltype(&::pcap_setnonblock) setnonblock = nullptr;
    decltype(&::pcap_sendpacket) sendpacket = nullptr;
    decltype(&::pcap_next_ex) next_ex = nullptr;
#ifdef __linux__
    decltype(&::pcap_get_selectable_fd) get_selectable_fd = nullptr;
#endif
    std::optional<Program_Module> Library;
    QString File_Name;
};

using Pcap_Load = std::expected<std::shared_ptr<const Pcap_Api>, QString>;

QStringList System_Names()
{
#ifdef _WIN32
    // Npcap installs its library in its own folder of the system directory,
    // which is not searched for libraries; WinPcap's compatible mode puts it
    // in the system directory itself. Both by their full path: a wpcap.dll
    // in the current folder or on the search path is never taken.
    wchar_t Buffer[MAX_PATH];
    const UINT Length = ::GetSystemDirectoryW(Buffer, MAX_PATH);
    const QString System_Dir = Length > 0 && Length < MAX_PATH ? QString::fromWCharArray(Buffer, static_cast<int>(Length))
                                                               : QStringLiteral("C:/Windows/System32");
    return {System_Dir + QStringLiteral("/Npcap/wpcap.dll"), System_Dir + QStringLiteral("/wpcap.dll")};
#elif defined(__APPLE__)
    return {QStringLiteral("libpcap.A.dylib"), QStringLiteral("libpcap.dylib")};
#else
    return {QStringLiteral("libpcap.so.0.8"), QStringLiteral("libpcap.so.1"), QStringLiteral("libpcap.so")};
#endif
}

QString Install_Advice()
{
#ifdef _WIN32
    return QStringLiteral("Install Npcap (https://npcap.com).");
#else
    return QStringLiteral("Install the packet capture library libpcap (on Debian and Ubuntu: sudo apt install libpcap0.8).");
#endif
}

Pcap_Load Load_Api(const QStringList& Names)
{
    auto Api = std::make_shared<Pcap_Api>();
    QStringList Reasons;
    for (const QString& Name : Names) {
        auto Loaded = Program_Module::Load(Name);
        if (Loaded) {
            Api->Library = *Loaded;
            Api->File_Name = Name;
            break;
        }
        Reasons.append(Loaded.error());
    }
    if (!Api->Library)
        return std::unexpected(QStringLiteral("Raw Ethernet needs libpcap, which could not be loaded (%1). %2")
                                   .arg(Reasons.join(QStringLiteral("; ")), Install_Advice()));
    const auto Resolve = [&](auto& Function, const char* Symbol) {
        Function = reinterpret_cast<std::remove_reference_t<decltype(Function)>>(Api->Library->Resolve(Symbol));
        return Function != nullptr;
    };
    const bool Complete = Resolve(Api->findalldevs, "pcap_findalldevs")
                          && Resolve(Api->freealldevs, "pcap_freealldevs")
                          && Resolve(Api->create, "pcap_create")
                          && Resolve(Api->close, "pcap_close")
                          && Resolve(Api->set_snaplen, "pcap_set_snaplen")
                          && Resolve(Api->set_promisc, "pcap_set_promisc")
                          && Resolve(Api->set_immediate_mode, "pcap_set_immediate_mode")
                          && Resolve(Api->set_timeout, "pcap_set_timeout")
                          && Resolve(Api->activate, "pcap_activate")
                          && Resolve(Api->geterr, "pcap_geterr")
                          && Resolve(Api->statustostr, "pcap_statustostr")
                          && Resolve(Api->datalink, "pcap_datalink")
                          && Resolve(Api->setdirection, "pcap_setdirection")
                          && Resolve(Api->compile, "pcap_compile")
                          && Resolve(Api->setfilter, "pcap_setfilter")
                          && Resolve(Api->freecode, "pcap_freecode")
                          && Resolve(Api->setnonblock, "pcap_setnonblock")
                          && Resolve(Api->sendpacket, "pcap_sendpacket")
                          && Resolve(Api->next_ex, "pcap_next_ex")
#ifdef __linux__
                          && Resolve(Api->get_selectable_fd, "pcap_get_selectable_fd")
#endif
        ;
    if (!Complete)
        return std::unexpected(QStringLiteral("%1 is too old for raw Ethernet: it lacks functions this program uses. %2")
                                   .arg(Api->File_Name, Install_Advice()));
    return std::shared_ptr<const Pcap_Api>(std::move(Api));
}

// The system's library is loaded once for the process and kept.
Pcap_Load Api_For(const QStringList& Names)
{
    if (!Names.isEmpty())
        return Load_Api(Names);
    static const Pcap_Load System = Load_Api(System_Names());
    return System;
}

QString Pcap_Text(const char* Text) { return QString::fromLocal8Bit(Text).trimmed(); }

class Pcap_Port : public Raw_Ethernet_Port {
public:
    Pcap_Port(std::shared_ptr<const Pcap_Api> Api_, pcap_t* Handle_, std::array<quint8, 6> Mac_)
        : Api(std::move(Api_)), Handle(Handle_), Own_Mac(Mac_)
    {
    }
    ~Pcap_Port() override { Api->close(Handle); }

    std::array<quint8, 6> Mac() const override { return Own_Mac; }

    std::expected<void, QString> Send(const QByteArray& Frame) override
    {
        if (Api->sendpacket(Handle, reinterpret_cast<const u_char*>(Frame.constData()), static_cast<int>(Frame.size())) != 0)
            return std::unexpected(Pcap_Text(Api->geterr(Handle)));
        return {};
    }

    std::optional<QByteArray> Receive(Deadline Until) override
    {
        for (;;) {
            pcap_pkthdr* Header = nullptr;
            const u_char* Data = nullptr;
            const int Got = Api->next_ex(Handle, &Header, &Data);
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
            pollfd Wait{Api->get_selectable_fd(Handle), POLLIN, 0};
            ::poll(&Wait, 1, static_cast<int>(std::min<qint64>(Left.count() + 1, 1000)));
#else
            std::this_thread::sleep_for(std::min(Left, std::chrono::milliseconds(1)));
#endif
        }
    }

private:
    std::shared_ptr<const Pcap_Api> Api;
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
#elif defined(_WIN32)
    // Npcap names an adapter \Device\NPF_{GUID}; the system's adapter
    // list gives the hardware address of the adapter with that GUID.
    const QString Name = QString::fromLocal8Bit(Device.name);
    ULONG Size = 16 * 1024;
    std::vector<unsigned char> Buffer;
    ULONG Result = ERROR_BUFFER_OVERFLOW;
    for (int Attempt = 0; Attempt < 3 && Result == ERROR_BUFFER_OVERFLOW; ++Attempt) {
        Buffer.resize(Size);
        Result = ::GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
                                        nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(Buffer.data()), &Size);
    }
    if (Result != NO_ERROR)
        return std::nullopt;
    for (const auto* Adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(Buffer.data()); Adapter;
         Adapter = Adapter->Next) {
        const QString Guid = QString::fromLatin1(Adapter->AdapterName);
        if (Guid.isEmpty() || !Name.endsWith(Guid, Qt::CaseInsensitive))
            continue;
        if (Adapter->PhysicalAddressLength != 6)
            return std::nullopt;
        std::array<quint8, 6> Mac{};
        std::memcpy(Mac.data(), Adapter->PhysicalAddress, 6);
        return Mac;
    }
    return std::nullopt;
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

Pcap_Raw_Ethernet::Pcap_Raw_Ethernet(QStringList Library_Names) : Names(std::move(Library_Names)) {}

namespace {

std::expected<QList<Ethernet_Interface>, Raw_Ethernet_Failure> Interfaces_Of(const Pcap_Api* Api)
{
    char Error[PCAP_ERRBUF_SIZE] = {};
    pcap_if_t* All = nullptr;
    if (Api->findalldevs(&All, Error) != 0)
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
                Interface.Ipv4_Addresses.append(ntohl(In->sin_addr.s_addr));
            }
        }
        Found.append(Interface);
    }
    Api->freealldevs(All);
    return Found;
}

} // namespace

std::expected<QList<Ethernet_Interface>, Raw_Ethernet_Failure> Pcap_Raw_Ethernet::Interfaces()
{
    const Pcap_Load Loaded = Api_For(Names);
    if (!Loaded)
        return std::unexpected(Raw_Ethernet_Failure{false, Loaded.error()});
    return Interfaces_Of(Loaded->get());
}

std::expected<std::unique_ptr<Raw_Ethernet_Port>, Raw_Ethernet_Failure> Pcap_Raw_Ethernet::Open(const QString& Name,
                                                                                                bool Promiscuous)
{
    const Pcap_Load Loaded = Api_For(Names);
    if (!Loaded)
        return std::unexpected(Raw_Ethernet_Failure{false, Loaded.error()});
    const std::shared_ptr<const Pcap_Api> Api = *Loaded;
    const auto Interfaces_Now = Interfaces_Of(Api.get());
    if (!Interfaces_Now)
        return std::unexpected(Interfaces_Now.error());
    const auto Found = std::find_if(Interfaces_Now->begin(), Interfaces_Now->end(),
                                    [&](const Ethernet_Interface& I) { return I.Name == Name; });
    if (Found == Interfaces_Now->end())
        return std::unexpected(Raw_Ethernet_Failure{false, QStringLiteral("%1: no such Ethernet interface").arg(Name)});

    char Error[PCAP_ERRBUF_SIZE] = {};
    pcap_t* Handle = Api->create(Name.toLocal8Bit().constData(), Error);
    if (!Handle)
        return std::unexpected(Raw_Ethernet_Failure{false, Pcap_Text(Error)});
    const auto Fail = [&](int Code, const QString& Text) {
        Api->close(Handle);
        return std::unexpected(Raw_Ethernet_Failure{
            Is_Rights_Error(Code), Is_Rights_Error(Code) ? QStringLiteral("%1: %2\n%3").arg(Name, Text, Rights_Text())
                                                         : QStringLiteral("%1: %2").arg(Name, Text)});
    };
    Api->set_snaplen(Handle, Snap_Length);
    Api->set_promisc(Handle, Promiscuous ? 1 : 0);
    Api->set_immediate_mode(Handle, 1);
    Api->set_timeout(Handle, 1);
    const int Activated = Api->activate(Handle);
    if (Activated < 0)
        return Fail(Activated, Activated == PCAP_ERROR ? Pcap_Text(Api->geterr(Handle))
                                                       : Pcap_Text(Api->statustostr(Activated)));
    if (Api->datalink(Handle) != DLT_EN10MB)
        return Fail(0, QStringLiteral("not an Ethernet interface"));
    // Only what others send: our own frames are not answers.
    Api->setdirection(Handle, PCAP_D_IN);
    bpf_program Program{};
    if (Api->compile(Handle, &Program, Dcp_Filter, 1, PCAP_NETMASK_UNKNOWN) != 0)
        return Fail(0, Pcap_Text(Api->geterr(Handle)));
    const int Filtered = Api->setfilter(Handle, &Program);
    Api->freecode(&Program);
    if (Filtered != 0)
        return Fail(0, Pcap_Text(Api->geterr(Handle)));
    if (Api->setnonblock(Handle, 1, Error) != 0)
        return Fail(0, Pcap_Text(Error));
    return std::make_unique<Pcap_Port>(Api, Handle, Found->Mac);
}
