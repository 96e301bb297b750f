#include "foundation/Settings_File.h"

#include "foundation/Identity.h"
#include "platform/Xml_File.h"

#include <array>

namespace Settings_File {

namespace {

struct Setting_Info {
    const char* Group;  // the root's child that holds the element
    const char* Name;
    QString Default;    // a flag: "1" or "0"
};

const std::array<Setting_Info, Setting_Count>& Settings()
{
    static const std::array<Setting_Info, Setting_Count> Table{{
        {"lastproj", "projectname", QString()},
        {"lastipadd", "ipaddress", Identity::Default_IP_Address},
        {"lastlang", "language", QStringLiteral("English")},
        {"lastinternet", "enable_internet", QStringLiteral("0")},
        {"lastinternet", "enable_update", QStringLiteral("0")},
        {"lastinternet", "enable_jump_field_tables", QStringLiteral("0")},
        {"lastinternet", "Double_Click_Auto_Size", QStringLiteral("0")},
        {"lastinterface", "name", QString()},
    }};
    return Table;
}

const char* Root_Name = "Conf_Settings";

// The texts of the values, in setting order.
std::array<QString, Setting_Count> Texts(const Values& Data)
{
    const auto Bit = [](bool B) { return B ? QStringLiteral("1") : QStringLiteral("0"); };
    return {Data.Project_Name,       Data.Last_IP_Address,     Data.Language_Name,
            Bit(Data.Enable_Internet), Bit(Data.Enable_Update), Bit(Data.Enable_Jump_Field_Tables),
            Bit(Data.Double_Click_Auto_Size), Data.Last_Interface};
}

Values From_Texts(const std::array<QString, Setting_Count>& Text)
{
    const auto Flag = [&](Setting S) { return Text[S] == QLatin1String("1"); };
    Values Data;
    Data.Project_Name = Text[Project_Name];
    Data.Last_IP_Address = Text[Last_IP_Address];
    Data.Language_Name = Text[Language_Name];
    Data.Enable_Internet = Flag(Enable_Internet);
    Data.Enable_Update = Flag(Enable_Update);
    Data.Enable_Jump_Field_Tables = Flag(Enable_Jump_Field_Tables);
    Data.Double_Click_Auto_Size = Flag(Double_Click_Auto_Size);
    Data.Last_Interface = Text[Last_Interface];
    return Data;
}

std::array<QString, Setting_Count> Default_Texts()
{
    std::array<QString, Setting_Count> Text;
    for (int S = 0; S < Setting_Count; ++S)
        Text[S] = Settings()[S].Default;
    return Text;
}

Xml_File Build(const Values& Data)
{
    Xml_File Xml;
    pugi::xml_node Root = Xml_File::Add_Element(Xml.Document(), Root_Name);
    const std::array<QString, Setting_Count> Text = Texts(Data);
    pugi::xml_node Group;
    for (int S = 0; S < Setting_Count; ++S) {
        // A file of a program that never searched the network stays as it was.
        if (S == Last_Interface && Text[S].isEmpty())
            continue;
        // Settings of one group follow each other.
        if (!Group || qstrcmp(Group.name(), Settings()[S].Group) != 0)
            Group = Xml_File::Add_Element(Root, Settings()[S].Group);
        Xml_File::Add_Text_Element(Group, Settings()[S].Name, Text[S]);
    }
    return Xml;
}

} // namespace

Values Defaults() { return From_Texts(Default_Texts()); }

Values Read(const QString& Path)
{
    std::array<QString, Setting_Count> Text = Default_Texts();
    Xml_File Xml;
    if (Xml.Load(Path) != Xml_File::Load_Status::Loaded)
        return From_Texts(Text);
    const pugi::xml_node Root = Xml.Root();
    if (Root.type() != pugi::node_element)
        return From_Texts(Text);
    for (int S = 0; S < Setting_Count; ++S)
        if (const auto Stored = Xml_File::Child_Text(Root.child(Settings()[S].Group), Settings()[S].Name))
            Text[S] = *Stored;
    return From_Texts(Text);
}

QByteArray To_Bytes(const Values& Data) { return Build(Data).To_Bytes(); }

std::expected<void, Write_Error> Save(const QString& Path, const Values& Data) { return Build(Data).Save(Path); }

} // namespace Settings_File
