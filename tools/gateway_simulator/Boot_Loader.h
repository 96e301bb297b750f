#pragma once

// The boot loader's side of the update protocol (PROTOCOL.md), without the
// socket: keeps the open transfers and the device's memory, checks what
// arrives and says what the device answers. Its memory is bounded whatever a
// sender does: a few open transfers, none larger than the device's memory.

#include "protocol/Update_Protocol.h"

#include <QBitArray>
#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class Boot_Loader {
public:
    // The device's address space: bank 2 ends at 0xFFFFF.
    static constexpr quint32 Memory_Size = 0x100000;
    // Transfers open at once; a Begin beyond them forgets the oldest.
    static constexpr int Max_Open_Transfers = 4;
    // Stored transfers whose repeated End (its answer got lost) is still answered ok.
    static constexpr int Remembered_Stored = 16;

    struct Hooks {
        // One line of the simulator's log.
        std::function<void(const QString&)> Say;
        // A checked image the device keeps from now on.
        std::function<void(quint32 Start, const QByteArray& Data)> Store;
    };

    // Drop_Every: ignore every Nth write block (0 drops none).
    Boot_Loader(Hooks H, int Drop_Every);

    // The reply to a request; nullopt when the device stays quiet.
    std::optional<Update_Protocol::Packet> Handle(const Update_Protocol::Packet& Request);
    bool Application_Started() const { return Started; }

private:
    struct Transfer {
        quint32 Session = 0;
        quint32 Start = 0;
        QByteArray Data;
        QBitArray Written; // one bit per byte, so gaps are found at the end
    };

    Update_Protocol::Status Begin(const Update_Protocol::Packet& P);
    Update_Protocol::Status Write(const Update_Protocol::Packet& P);
    Update_Protocol::Status End(const Update_Protocol::Packet& P);
    Update_Protocol::Status Read(const Update_Protocol::Packet& P, QByteArray& Out) const;
    bool Parameter_Block_Kept(const Transfer& T) const;
    qsizetype Find(quint32 Session) const;

    Hooks Tell;
    int Drop_Every = 0;
    int Writes_Seen = 0;
    bool Started = false;
    QList<Transfer> Open; // oldest first
    QList<quint32> Stored_Sessions; // oldest first
    QByteArray Memory; // 0xFF where nothing was stored
    QBitArray Stored; // one bit per byte of Memory
};
