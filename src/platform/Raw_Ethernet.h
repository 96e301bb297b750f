#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <chrono>
#include <expected>
#include <memory>
#include <optional>

// Raw Ethernet frames of one protocol on one network interface: what the
// discovery of devices on the plant network needs from the system.

struct Ethernet_Interface {
    QString Name;        // the system's name, the one to open
    QString Description; // for people; may be empty
    std::array<quint8, 6> Mac{};
    QList<quint32> Ipv4_Addresses; // most significant byte first
    bool Up = false;
};

// One opened interface, receiving the frames of the protocol it was opened for.
class Raw_Ethernet_Port {
public:
    using Deadline = std::chrono::steady_clock::time_point;
    virtual ~Raw_Ethernet_Port() = default;
    virtual std::array<quint8, 6> Mac() const = 0;
    // Sends one whole frame, Ethernet header included.
    virtual std::expected<void, QString> Send(const QByteArray& Frame) = 0;
    // The next frame received, or nothing once Until has passed.
    virtual std::optional<QByteArray> Receive(Deadline Until) = 0;
};

struct Raw_Ethernet_Failure {
    // The process lacks the right to open the interface: Text says what is
    // missing on this system and how to grant it.
    bool Lacks_Rights = false;
    QString Text;
};

class Raw_Ethernet {
public:
    virtual ~Raw_Ethernet() = default;
    // The interfaces that carry Ethernet.
    virtual std::expected<QList<Ethernet_Interface>, Raw_Ethernet_Failure> Interfaces() = 0;
    // Opens one for the frames of EtherType 0x8892 (also behind a VLAN tag);
    // Promiscuous also receives frames addressed to other stations.
    virtual std::expected<std::unique_ptr<Raw_Ethernet_Port>, Raw_Ethernet_Failure> Open(const QString& Name,
                                                                                         bool Promiscuous = false) = 0;
};

// The real access over libpcap (Npcap on Windows). The library is loaded
// the first time an interface is listed or opened, so that a program that
// never searches the network never maps it; where it cannot be loaded, both
// calls say so and how to install it.
class Pcap_Raw_Ethernet : public Raw_Ethernet {
public:
    // Library_Names: the file names tried in turn; empty means the system's
    // usual names of libpcap (wpcap on Windows).
    explicit Pcap_Raw_Ethernet(QStringList Library_Names = {});
    std::expected<QList<Ethernet_Interface>, Raw_Ethernet_Failure> Interfaces() override;
    std::expected<std::unique_ptr<Raw_Ethernet_Port>, Raw_Ethernet_Failure> Open(const QString& Name,
                                                                                 bool Promiscuous = false) override;
    // What a user must do on this system to let the program send raw frames.
    static QString Rights_Text();

private:
    QStringList Names;
};
