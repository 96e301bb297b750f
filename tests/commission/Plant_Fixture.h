#pragma once

// A plant of simulated gateways for the commissioning tests: the MACs file
// the simulator takes and the plant list that names them, in a test's folder.

#include "support/Test_Files.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Plant_Fixture {

inline QString Mac(int Index) { return QStringLiteral("02:aa:00:00:00:%1").arg(Index + 1, 2, 16, QLatin1Char('0')); }
inline QString Name(int Index) { return QStringLiteral("plant-gw-%1").arg(Index + 1, 2, 10, QLatin1Char('0')); }
inline QString Address(int Index) { return QStringLiteral("10.1.0.%1").arg(Index + 11); }

// The simulator's MACs file: Count gateways; Refusing (an index) answers every Set with BlockError 6.
inline QString Write_Macs(const QString& Dir, int Count, int Refusing = -1)
{
    QByteArray Text;
    for (int I = 0; I < Count; ++I)
        Text += (Mac(I) + (I == Refusing ? QStringLiteral(" 6") : QString()) + QLatin1Char('\n')).toLatin1();
    const QString Path = Dir + QStringLiteral("/macs");
    Test_Support::Write_File(Path, Text);
    return Path;
}

// The plant list of Count gateways; Extra rows are appended as they stand.
inline QString Write_List(const QString& Dir, int Count, const QStringList& Extra = {})
{
    QByteArray Text = "mac,station_name,ip,mask,gateway,configuration\n";
    for (int I = 0; I < Count; ++I)
        Text += QStringLiteral("%1,%2,%3,255.255.255.0,10.1.0.1,\n").arg(Mac(I), Name(I), Address(I)).toLatin1();
    for (const QString& Row : Extra)
        Text += (Row + QLatin1Char('\n')).toLatin1();
    const QString Path = Dir + QStringLiteral("/plant.csv");
    Test_Support::Write_File(Path, Text);
    return Path;
}

inline int Count_Lines(const QByteArray& Log, const QByteArray& Start)
{
    int Count = 0;
    for (const QByteArray& Line : Log.split('\n'))
        Count += Line.startsWith(Start) ? 1 : 0;
    return Count;
}

} // namespace Plant_Fixture
