#include "update/Update_Parameter_File.h"

#include "platform/Xml_File.h"
#include "foundation/Workspace.h"

#include <QDir>

namespace {

// The three kinds of operation, in the order they appear in the file.
struct Operation_Values {
    QString File_Name;
    const char* Start_Address;
    const char* Bank_Type;
    const char* Write_CSS;
};

void Add_Operation(pugi::xml_node Operations, const Operation_Values& Values, bool Read_Back, bool Last)
{
    const auto Bit = [](bool B) { return B ? QStringLiteral("1") : QStringLiteral("0"); };
    pugi::xml_node Op = Xml_File::Add_Element(Operations, "Operation");
    const auto Add = [&Op](const char* Name, const QString& Text) { Xml_File::Add_Text_Element(Op, Name, Text); };
    Add("Ope_Protection_Enabled", {});
    Add("Ope_GoToBoot_Before", "0");
    Add("Ope_GoToApp_Before", "0");
    Add("Ope_IP_Address", {});
    Add("Ope_Port", "2008");
    Add("Ope_Port_Sec", "2007");
    Add("Ope_Erase_Memory", "0");
    // Read by the updater, a Windows program: its paths as Windows writes them.
    Add("Ope_FileName", QDir::toNativeSeparators(Values.File_Name));
    Add("Ope_Start_Address", Values.Start_Address);
    Add("Ope_Memory_Type", "0");
    Add("Ope_Bank_Type", Values.Bank_Type);
    Add("Ope_Read_Back", Bit(Read_Back));
    Add("Ope_Write_CSS", Values.Write_CSS);
    Add("Ope_Address_CSS", "0x07A00");
    Add("Ope_Command_CSS", "0x02");
    Add("Ope_Write_Internal_Data", "0");
    Add("Ope_WID_Address", "0x07810");
    Add("Ope_WID_Command", "0x02");
    Add("Ope_WID_Data", "0x00, 0x00, 0x00, 0x01");
    // The device goes back to its application only after the last operation.
    Add("Ope_GoToApp_After", Bit(Last));
}

} // namespace

QString Updater_Program(const QString& Exe_Dir)
{
#ifdef Q_OS_WIN
    return Workspace::Join(Exe_Dir, QStringLiteral("Ethernet_Update.exe"));
#else
    return Workspace::Join(Exe_Dir, QStringLiteral("Ethernet_Update"));
#endif
}

QString Update_Parameter_File(const QString& Exe_Dir)
{
    return Workspace::Join(Exe_Dir, QStringLiteral("Ethernet_Update.xml"));
}

QString Firmware_Image(const QString& Master_Dir) { return Workspace::Join(Master_Dir, QStringLiteral("Sim40610.sim")); }

void Build_Update_Parameters(Xml_File& Doc, const Update_Choice& Choice, const Update_Sources& Sources)
{
    Doc.Clear();
    pugi::xml_node Root = Xml_File::Add_Element(Doc.Document(), "Ethernet_Update");
    Xml_File::Add_Text_Element(Root, "Version", "1000");
    Xml_File::Add_Text_Element(Root, "Title", "Korvex - SW40610 Ethernet Update");
    Xml_File::Add_Text_Element(Root, "IP_Address_Dev", Choice.IP_Address);
    Xml_File::Add_Text_Element(Root, "Application_Port", "10000");
    Xml_File::Add_Text_Element(Root, "Boot_Port", "2008");
    Xml_File::Add_Text_Element(Root, "Boot_Port_Sec", "2007");
    Xml_File::Add_Text_Element(Root, "Address_Protection", "0x07800");
    Xml_File::Add_Text_Element(Xml_File::Add_Element(Root, "Protections"), "Protection", "0x221");
    pugi::xml_node Operations = Xml_File::Add_Element(Root, "Operations");

    const bool Firmware = Choice.Option_Index == 0 || Choice.Option_Index == 1;
    const bool Banks = Choice.Option_Index == 0 || Choice.Option_Index == 2;
    const QString Bin_Dir = Workspace::Join(Sources.Project_Dir, QStringLiteral("bin"));
    if (Firmware)
        Add_Operation(Operations, {Firmware_Image(Sources.Master_Dir), "0x8000", "1", "1"}, Choice.Read_Back, !Banks);
    if (Banks) {
        Add_Operation(Operations, {Workspace::Join(Bin_Dir, QStringLiteral("bank1.bin")), "0x07000", "2", "0"},
                      Choice.Read_Back, false);
        Add_Operation(Operations, {Workspace::Join(Bin_Dir, QStringLiteral("bank2.bin")), "0x80000", "2", "0"},
                      Choice.Read_Back, true);
    }
}

void Write_Update_Parameters(Xml_File& Doc, const Update_Choice& Choice, const Update_Sources& Sources,
                             const QString& Exe_Dir)
{
    Build_Update_Parameters(Doc, Choice, Sources);
    const QString Path = Update_Parameter_File(Exe_Dir);
    if (const auto Saved = Doc.Save(Path); !Saved)
        throw Update_File_Error(Saved.error());
}
