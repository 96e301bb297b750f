#pragma once

#include "support/Scripted_File_Dialogs.h"
#include "support/Test_Files.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

namespace Gsdml_Fixtures {

// A general parameters file as the editor writes it: Par_Gen with its 27
// elements in order, then the version comment. Values replaces the editor's
// defaults; an empty optional leaves the element out.
inline QByteArray Par_Gen_File(const QMap<QString, std::optional<QString>>& Values = {})
{
    const QList<std::pair<QString, QString>> Defaults = {
        {"IEC61850_Server_Port", "102"}, {"IEC61850_Server_Password", ""}, {"TLS_Server_Enable", "0"},
        {"TLS_Server_Key", ""}, {"TLS_Server_Key_Password", ""}, {"TLS_Server_Server_Certificate", ""},
        {"TLS_Server_Root_Certificate", ""}, {"TLS_Server_Enable_Known_Cert", "0"}, {"PROFINET_IP1", "192"},
        {"PROFINET_IP2", "168"}, {"PROFINET_IP3", "0"}, {"PROFINET_IP4", "5"}, {"PROFINET_SM1", "255"},
        {"PROFINET_SM2", "255"}, {"PROFINET_SM3", "255"}, {"PROFINET_SM4", "0"}, {"PROFINET_GAT1", "192"},
        {"PROFINET_GAT2", "168"}, {"PROFINET_GAT3", "0"}, {"PROFINET_GAT4", "1"}, {"PROFINET_EN_GAT", "0"},
        {"PROFINET_PORT", "2000"}, {"PROFINET_NAME_STA", "devicename1"}, {"PROFINET_NB_IN", "1438"},
        {"PROFINET_NB_OUT", "1438"}, {"PROFINET_ENABLE_DIAGNOSTIC", "0"}, {"PROFINET_DIAGNOSTIC_ADDRESS", "0"}};
    QString Xml = "<Par_Gen>";
    for (const auto& [Name, Default] : Defaults) {
        const std::optional<QString> Value = Values.contains(Name) ? Values[Name] : std::optional<QString>(Default);
        if (!Value)
            continue;
        QString Text = *Value;
        Text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;");
        Xml += Value->isEmpty() ? "<" + Name + "/>" : "<" + Name + ">" + Text + "</" + Name + ">";
    }
    Xml += "</Par_Gen><!--SW_VERSION = 1.000-->";
    return Xml.toUtf8();
}

// The expected description for the editor's defaults, kept as a fixture.
inline QByteArray Expected_Default()
{
    return Test_Support::Read_File(SW_TEST_DATA_DIR "/gsdml/devicename1_1438_1438.xml");
}

// The expected description for other values: the default fixture with the
// values of lines 26, 76 and 77 replaced. Name is given as it must appear.
inline QByteArray Expected(const QByteArray& Name_In_File, int Input_Length, int Output_Length)
{
    const QByteArray Text = Expected_Default();
    QByteArrayList Lines = Text.mid(3).split('\n');
    auto Replace = [&](int Line, const QByteArray& From, const QByteArray& To) {
        QByteArray& L = Lines[Line - 1];
        if (L.count(From) < 1)
            qFatal("fixture line %d lacks %s", Line, From.constData());
        L.replace(From, To);
    };
    Replace(26, "=\"devicename1\"", "=\"" + Name_In_File + "\"");
    Replace(76, "Length=\"1438\"", "Length=\"" + QByteArray::number(Input_Length) + "\"");
    Replace(77, "Length=\"1438\"", "Length=\"" + QByteArray::number(Output_Length) + "\"");
    return Text.left(3) + Lines.join('\n');
}

using ::Scripted_Save_Dialog;

} // namespace Gsdml_Fixtures
