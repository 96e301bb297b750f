// The fixed device description of the GW40610, line by line. Each line is
// written with CR LF; three lines take the configured values (see
// Profinet_XML.cpp).
#include "gsdml/Profinet_XML_Lines.h"

#include "foundation/Identity.h"

#include <QByteArray>

namespace Profinet_XML_Lines {

namespace {

// The lines that name the gateway's maker and identity, made from the
// program's identity before the tables below, which point into them.
const QByteArray Device_Identity_Line = QStringLiteral("\t\t<DeviceIdentity VendorID=\"%1\" DeviceID=\"%2\">")
                                            .arg(Identity::Id_Text(Identity::Vendor_ID), Identity::Id_Text(Identity::Device_ID))
                                            .toUtf8();
const QByteArray Device_Vendor_Line = QStringLiteral("\t\t\t<VendorName Value=\"%1\"/>").arg(Identity::Vendor_Name).toUtf8();
const QByteArray Module_Vendor_Line = QStringLiteral("\t\t\t\t\t\t<VendorName Value=\"%1\"/>").arg(Identity::Vendor_Name).toUtf8();
const QByteArray Device_Info_Line =
    QStringLiteral("\t\t\t\t\t<Text TextId=\"IDT_INFO_Device\" Value=\"%1 Gateways\"/>").arg(Identity::Vendor_Name).toUtf8();

} // namespace

// Lines 1 to 25: profile header, identity, up to the access point list.
const char* const Head[25] = {
    R"GSDML(<?xml version="1.0" encoding="UTF-8"?>)GSDML",
    R"GSDML(<!-- A fieldbus integration example. -->)GSDML",
    R"GSDML(<ISO15745Profile xmlns="http://www.profibus.com/GSDML/2003/11/DeviceProfile" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation="http://www.profibus.com/GSDML/2003/11/DeviceProfile ..\xsd\GSDML-DeviceProfile-v2.31.xsd">)GSDML",
    R"GSDML(	<ProfileHeader>)GSDML",
    R"GSDML(		<ProfileIdentification>PROFINET Device Profile</ProfileIdentification>)GSDML",
    R"GSDML(		<ProfileRevision>1.00</ProfileRevision>)GSDML",
    R"GSDML(		<ProfileName>Device Profile for PROFINET Devices</ProfileName>)GSDML",
    R"GSDML(		<ProfileSource>PROFIBUS Nutzerorganisation e. V. (PNO)</ProfileSource>)GSDML",
    R"GSDML(		<ProfileClassID>Device</ProfileClassID>)GSDML",
    R"GSDML(		<ISO15745Reference>)GSDML",
    R"GSDML(			<ISO15745Part>4</ISO15745Part>)GSDML",
    R"GSDML(			<ISO15745Edition>1</ISO15745Edition>)GSDML",
    R"GSDML(			<ProfileTechnology>GSDML</ProfileTechnology>)GSDML",
    R"GSDML(		</ISO15745Reference>)GSDML",
    R"GSDML(	</ProfileHeader>)GSDML",
    R"GSDML(	<ProfileBody>)GSDML",
    Device_Identity_Line.constData(),
    R"GSDML(			<InfoText TextId="IDT_INFO_Device"/>)GSDML",
    Device_Vendor_Line.constData(),
    R"GSDML(		</DeviceIdentity>)GSDML",
    R"GSDML(		<DeviceFunction>)GSDML",
    R"GSDML(			<Family MainFamily="Gateway" ProductFamily="GW40610"/>)GSDML",
    R"GSDML(		</DeviceFunction>)GSDML",
    R"GSDML(		<ApplicationProcess>)GSDML",
    R"GSDML(			<DeviceAccessPointList>)GSDML",
};

// Line 26: the device access point, with the name of station inserted twice.
const char* const Access_Point_Begin = R"GSDML(				<DeviceAccessPointItem PNIO_Version="V2.3" RequiredSchemaVersion="V2.25" ID="IDD_1" PhysicalSlots="0..4" ModuleIdentNumber="0x00000001" MinDeviceInterval="64" ImplementationType=")GSDML";
const char* const Access_Point_Between = R"GSDML(" DNS_CompatibleName=")GSDML";
const char* const Access_Point_End = R"GSDML(" FixedInSlots="0" ObjectUUID_LocalIndex="1" MultipleWriteSupported="true" MaxSupportedRecordSize="8192" ParameterizationSpeedupSupported="true" PowerOnToCommReady="350" DeviceAccessSupported="true" SharedDeviceSupported="true" CheckDeviceID_Allowed="false" NameOfStationNotTransferable="true">)GSDML";

// Lines 27 to 75: the access point and the module up to its IO data.
const char* const Access_Point_Body[49] = {
    R"GSDML(					<ModuleInfo>)GSDML",
    R"GSDML(						<Name TextId="IDT_NAME_DAP1"/>)GSDML",
    R"GSDML(						<InfoText TextId="IDT_INFO_DAP1"/>)GSDML",
    Module_Vendor_Line.constData(),
    R"GSDML(						<OrderNumber Value="GW40610"/>)GSDML",
    R"GSDML(					</ModuleInfo>)GSDML",
    R"GSDML(					<SubslotList>)GSDML",
    R"GSDML(						<SubslotItem SubslotNumber="0" TextId="IDT_SUBSLOT_1"/>)GSDML",
    R"GSDML(						<SubslotItem SubslotNumber="32768" TextId="IDT_SUBSLOT_Interface"/>)GSDML",
    R"GSDML(						<SubslotItem SubslotNumber="32769" TextId="IDT_SUBSLOT_Port1"/>)GSDML",
    R"GSDML(						<SubslotItem SubslotNumber="32770" TextId="IDT_SUBSLOT_Port2"/>)GSDML",
    R"GSDML(					</SubslotList>)GSDML",
    R"GSDML(					<IOConfigData MaxInputLength="1440" MaxOutputLength="1440" MaxDataLength="2880"/>)GSDML",
    R"GSDML(					<UseableModules>)GSDML",
    R"GSDML(						<ModuleItemRef ModuleItemTarget="IDM_1" FixedInSlots="1"/>)GSDML",
    R"GSDML(					</UseableModules>)GSDML",
    R"GSDML(					<VirtualSubmoduleList>)GSDML",
    R"GSDML(						<VirtualSubmoduleItem ID="IDS_V1" SubmoduleIdentNumber="0x00000000" >)GSDML",
    R"GSDML(							<IOData IOPS_Length="1" IOCS_Length="1"/>)GSDML",
    R"GSDML(							<ModuleInfo>)GSDML",
    R"GSDML(								<Name TextId="IDT_NAME_VS1"/>)GSDML",
    R"GSDML(								<InfoText TextId="IDT_INFO_VS1"/>)GSDML",
    R"GSDML(							</ModuleInfo>)GSDML",
    R"GSDML(						</VirtualSubmoduleItem>)GSDML",
    R"GSDML(					</VirtualSubmoduleList>)GSDML",
    R"GSDML(					<SystemDefinedSubmoduleList>)GSDML",
    R"GSDML(						<InterfaceSubmoduleItem ID="IDS_I" SubmoduleIdentNumber="0x00000001" SubslotNumber="32768" TextId="IDT_NAME_IS" SupportedRT_Classes="RT_CLASS_1" SupportedProtocols="SNMP;LLDP" SupportedMibs="MIB2">)GSDML",
    R"GSDML(							<ApplicationRelations>)GSDML",
    R"GSDML(								<TimingProperties SendClock="32" ReductionRatio="1 2 4 8 16 32 64 128 256 512"/>)GSDML",
    R"GSDML(							</ApplicationRelations>)GSDML",
    R"GSDML(						</InterfaceSubmoduleItem>)GSDML",
    R"GSDML(						<PortSubmoduleItem ID="IDS_P1" SubmoduleIdentNumber="0x00000002" SubslotNumber="32769" TextId="IDT_NAME_PS1" MaxPortRxDelay="350" MaxPortTxDelay="160"/>)GSDML",
    R"GSDML(						<PortSubmoduleItem ID="IDS_P2" SubmoduleIdentNumber="0x00000002" SubslotNumber="32770" TextId="IDT_NAME_PS2" MaxPortRxDelay="350" MaxPortTxDelay="160"/>)GSDML",
    R"GSDML(					</SystemDefinedSubmoduleList>)GSDML",
    R"GSDML(					<!-- This element tells the engineering tool that the DAP supports fieldbus integration (slot clusters). -->)GSDML",
    R"GSDML(					<!-- FieldbusIntegrationSlots MaxSupported="127" Range="100..9999"/-->)GSDML",
    R"GSDML(				</DeviceAccessPointItem>)GSDML",
    R"GSDML(			</DeviceAccessPointList>)GSDML",
    R"GSDML(			<ModuleList>)GSDML",
    R"GSDML(				<!-- The "normal" module carrying the FAP. -->)GSDML",
    R"GSDML(				<ModuleItem ID="IDM_1" ModuleIdentNumber="0x00000001">)GSDML",
    R"GSDML(					<ModuleInfo>)GSDML",
    R"GSDML(						<Name TextId="IDT_NAME_M1"/>)GSDML",
    R"GSDML(						<InfoText TextId="IDT_INFO_M1"/>)GSDML",
    R"GSDML(						<OrderNumber Value="12345-0040-M"/>)GSDML",
    R"GSDML(					</ModuleInfo>)GSDML",
    R"GSDML(					<VirtualSubmoduleList>)GSDML",
    R"GSDML(						<VirtualSubmoduleItem ID="IDM_1" SubmoduleIdentNumber="0x00000001" >)GSDML",
    R"GSDML(							<IOData IOPS_Length="1" IOCS_Length="1" >)GSDML",
};

// Line 76: the input item, whose length is the count of bytes the converter sends.
const char* const Input_Begin = R"GSDML(								<Input> <DataItem DataType="OctetString" Length=")GSDML";
const char* const Input_End = R"GSDML(" TextId="IDT_Input_1"/> </Input>)GSDML";
// Line 77: the output item, whose length is the count of bytes the converter receives.
const char* const Output_Begin = R"GSDML(								<Output><DataItem DataType="OctetString" Length=")GSDML";
const char* const Output_End = R"GSDML(" TextId="IDT_Output_1"/></Output>)GSDML";

// Lines 78 to 167: parameter record, values, categories and texts.
const char* const Tail[90] = {
    R"GSDML(							</IOData>)GSDML",
    R"GSDML(							<RecordDataList>)GSDML",
    R"GSDML(								<ParameterRecordDataItem Index="128" Length="2" >)GSDML",
    R"GSDML(									<Name TextId="IDT_NAME_M1_IDT_REF_channel"/>)GSDML",
    R"GSDML(									<Const ByteOffset="0" Data="0x00,0x00"/>)GSDML",
    R"GSDML(									<Ref TextId="IDT_REF_reaction_to_cpu_stop" Visible="true" DataType="BitArea" ByteOffset="0" BitOffset="0" BitLength="2" DefaultValue="2" AllowedValues="0..2" ValueItemTarget="IDV_reaction_to_cpu_stop" ID="IDT_REF_reaction_to_cpu_stop" />)GSDML",
    R"GSDML(									<MenuList>)GSDML",
    R"GSDML(										<MenuItem ID="IDT_NAME_M1_IDT_REF_channel">)GSDML",
    R"GSDML(											<Name TextId="IDT_NAME_M1_IDT_REF_channel"/>)GSDML",
    R"GSDML(											<MenuRef MenuTarget="IDT_NAME_M1_Base_Parameters"/>)GSDML",
    R"GSDML(										</MenuItem>)GSDML",
    R"GSDML(										<MenuItem ID="IDT_NAME_M1_Base_Parameters">)GSDML",
    R"GSDML(											<Name TextId="IDT_NAME_M1_Base_Parameters"/>)GSDML",
    R"GSDML(											<ParameterRef ParameterTarget="IDT_REF_reaction_to_cpu_stop"/>)GSDML",
    R"GSDML(										</MenuItem>)GSDML",
    R"GSDML(									</MenuList>)GSDML",
    R"GSDML(								</ParameterRecordDataItem>)GSDML",
    R"GSDML(							</RecordDataList>)GSDML",
    R"GSDML(							<ModuleInfo>)GSDML",
    R"GSDML(								<Name TextId="IDT_NAME_M1"/>)GSDML",
    R"GSDML(								<InfoText TextId="IDT_INFO_M1"/>)GSDML",
    R"GSDML(							</ModuleInfo>)GSDML",
    R"GSDML(						</VirtualSubmoduleItem>)GSDML",
    R"GSDML(					</VirtualSubmoduleList>)GSDML",
    R"GSDML(				</ModuleItem>)GSDML",
    R"GSDML(			</ModuleList>)GSDML",
    R"GSDML(			<ValueList>)GSDML",
    R"GSDML(				<ValueItem ID="IDV_reaction_to_cpu_stop">)GSDML",
    R"GSDML(					<Assignments>)GSDML",
    R"GSDML(						<Assign TextId="IDT_ASSIGN_do_set_substitude_values" Content="0"/>)GSDML",
    R"GSDML(						<Assign TextId="IDT_ASSIGN_do_values_will_hold" Content="1"/>)GSDML",
    R"GSDML(						<Assign TextId="IDT_ASSIGN_do_continue_counting" Content="2"/>)GSDML",
    R"GSDML(					</Assignments>)GSDML",
    R"GSDML(				</ValueItem>)GSDML",
    R"GSDML(			</ValueList>)GSDML",
    R"GSDML(			<CategoryList>)GSDML",
    R"GSDML(				<CategoryItem ID="IDC_DI" TextId="IDT_CATEGORY_DI">)GSDML",
    R"GSDML(					<InfoText TextId="IDT_INFO_DI"/>)GSDML",
    R"GSDML(				</CategoryItem>)GSDML",
    R"GSDML(				<CategoryItem ID="IDC_DO" TextId="IDT_CATEGORY_DO">)GSDML",
    R"GSDML(					<InfoText TextId="IDT_INFO_DO"/>)GSDML",
    R"GSDML(				</CategoryItem>)GSDML",
    R"GSDML(			</CategoryList>)GSDML",
    R"GSDML(			<ExternalTextList>)GSDML",
    R"GSDML(				<PrimaryLanguage>)GSDML",
    Device_Info_Line.constData(),
    R"GSDML(					<Text TextId="IDT_NAME_DAP1" Value="IEC61850Device"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_INFO_DAP1" Value="Profinet IEC61850 Adapter"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_SUBSLOT_1" Value="Subslot 1"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_SUBSLOT_Interface" Value="Interface"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_SUBSLOT_Port1" Value="Port 1"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_SUBSLOT_Port2" Value="Port 2"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_RECORD_NAME_Head" Value="Parameters of head module"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_REF_Power" Value="Percent power"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_NAME_VS1" Value="Submodule V1"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_INFO_VS1" Value="Description of submodule V1"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_NAME_IS" Value="I"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_NAME_PS1" Value="P1"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_NAME_PS2" Value="P2"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_NAME_M1" Value="Module"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_INFO_M1" Value="device IEC61850"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_NAME_FAP" Value="FAP for IEC61850"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_INFO_FAP" Value="Description of FAP for IEC61850"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_RECORD_NAME_SlotCluster" Value="Parameters of the FAP"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_REF_SlotClusterBegin" Value="Beginning of slot cluster"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_NAME_M_PB1" Value="IEC61850 Device "/>)GSDML",
    R"GSDML(					<Text TextId="IDT_INFO_M_PB1" Value="Description of IEC61850"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_NAME_S_PB1" Value="Module of a IEC61850"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_INFO_S_PB1" Value="Description of module of a IEC61850"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_PB_Input" Value="Digital input IEC61850SERVER"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_PB_InputBit0" Value="Digital input bit IEC61850"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_NAME_S1" Value="Submodule 1"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_INFO_S1" Value="Description of submodule 1"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_Input_1" Value="Input byte"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_Output_1" Value="Output word"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_CATEGORY_DI" Value="Digital Input"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_INFO_DI" Value="Description of digital input"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_CATEGORY_DO" Value="Digital output"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_INFO_DO" Value="Description of digital output"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_NAME_M1_IDT_REF_channel" Value="Canale x"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_REF_reaction_to_cpu_stop" Value="Reaction to CPU STOP"/>)GSDML",
    R"GSDML(					<Text TextId="IDT_NAME_M1_Base_Parameters" Value="Base Parameters"/>)GSDML",
    R"GSDML(					<Text Value="Output substitute value" TextId="IDT_ASSIGN_do_set_substitude_values"/>)GSDML",
    R"GSDML(					<Text Value="Keep last value" TextId="IDT_ASSIGN_do_values_will_hold"/>)GSDML",
    R"GSDML(					<Text Value="Continue operation" TextId="IDT_ASSIGN_do_continue_counting"/>)GSDML",
    R"GSDML(				</PrimaryLanguage>)GSDML",
    R"GSDML(			</ExternalTextList>)GSDML",
    R"GSDML(		</ApplicationProcess>)GSDML",
    R"GSDML(	</ProfileBody>)GSDML",
    R"GSDML(</ISO15745Profile>)GSDML",
};

} // namespace Profinet_XML_Lines
