#include "checks/Par_Gen_Checks.h"
#include "foundation/Data_Array.h"

#include "checks/Check_Texts.h"
#include "foundation/Text_Rules.h"

namespace Par_Gen {

namespace {

constexpr qint32 Max_Process_Bytes = Device_Data_Array_Size;

namespace Slot = Checks::Text_Slot;

} // namespace

QList<Problem> Find_Problems(const Values& Data, const Lang_Table& Lang)
{
    QList<Problem> Found;
    const auto Value = [&](int Element) { return Read_Integer(Data[Element], -1); };
    const auto In = [](qint32 V, qint32 Low, qint32 High) { return V >= Low && V <= High; };

    const qint32 Port = Value(IEC61850_Server_Port);
    if (!In(Port, 0, 65535) || Port == 10000)
        Found.append({Lang[Slot::Server_Port_Range], IEC61850_Server_Port});
    for (int I = 0; I < 8; ++I)
        if (!In(Value(PROFINET_IP1 + I), 0, 255))
            Found.append({Lang[Slot::Address_Byte_Range + I], PROFINET_IP1 + I});
    if (Data.Is_Checked(PROFINET_EN_GAT))
        for (int I = 0; I < 4; ++I)
            if (!In(Value(PROFINET_GAT1 + I), 0, 255))
                Found.append({Lang[Slot::Gateway_Byte_Range + I], PROFINET_GAT1 + I});
    const qint32 Tunnel = Value(PROFINET_PORT);
    if (!In(Tunnel, 1, 65535) || Tunnel == 5000 || Tunnel == 10000 || Tunnel == 10001 || Tunnel == 34962
        || Tunnel == 34963 || Tunnel == 34964)
        Found.append({Lang[Slot::Tunnel_Port_Range], PROFINET_PORT});
    if (!In(Value(PROFINET_NB_IN), 0, Max_Process_Bytes))
        Found.append({Lang[Slot::Input_Bytes_Range] + QString::number(Max_Process_Bytes), PROFINET_NB_IN});
    const qint32 Out = Value(PROFINET_NB_OUT);
    if (!In(Out, 0, Max_Process_Bytes))
        // The diagnostic address is checked against the output bytes: not
        // while these are wrong themselves.
        Found.append({Lang[Slot::Output_Bytes_Range] + QString::number(Max_Process_Bytes), PROFINET_NB_OUT});
    else if (Data.Is_Checked(PROFINET_ENABLE_DIAGNOSTIC) && !In(Value(PROFINET_DIAGNOSTIC_ADDRESS), 0, Out - 8))
        Found.append({Lang[Slot::Diagnostic_Range] + QString::number(Out - 8), PROFINET_DIAGNOSTIC_ADDRESS});
    return Found;
}

std::optional<Problem> Find_Problem(const Values& Data, const Lang_Table& Lang)
{
    QList<Problem> Found = Find_Problems(Data, Lang);
    if (Found.isEmpty())
        return std::nullopt;
    return Found.takeFirst();
}

std::optional<QString> Check(const Values& Data, const Lang_Table& Lang)
{
    if (auto Found = Find_Problem(Data, Lang))
        return Found->Text;
    return std::nullopt;
}

} // namespace Par_Gen
