#pragma once

// The string-table slots of the review's texts, named once per window.

// The comparison of two configurations.
namespace Compare_Text {

constexpr int Title = 226;  // also the description and the name of the tree
constexpr int Heading = 227;
constexpr int Same = 228;
constexpr int Close = 229;
constexpr int Item_Column = 230;

} // namespace Compare_Text

// The PDF report of a configuration; the table of variables has the editor's
// headers, the certificates the labels of their details.
namespace Report_Text {

// The main window's button and the save dialog.
constexpr int Button = 1448;
constexpr int Button_Hint = 1449;
constexpr int Pdf_Filter = 1450;
constexpr int Written = 1451;
constexpr int Not_Written = 1452;

// Title block.
constexpr int Title = 1404;  // also on the foot of each page
constexpr int Configuration = 1405;
constexpr int Written_On = 1406;
constexpr int Program = 1407;
constexpr int Project_Files = 1408;
constexpr int File_Modified = 1409;
constexpr int File_Missing = 1410;
constexpr int Page_Of = 1447;

// General parameters and the PROFINET identity.
constexpr int General_Parameters = 1411;
constexpr int Element_Column = 1412;
constexpr int Value_Column = 1413;
constexpr int Password_Set = 1414;
constexpr int Password_Not_Set = 1415;
constexpr int Profinet_Identity = 1416;
constexpr int Station_Name = 1417;
constexpr int Station_Name_Valid = 1418;
constexpr int Station_Name_Not_Valid = 1419;
constexpr int Vendor_Device_Ids = 1420;
constexpr int Input_Bytes = 1421;
constexpr int Output_Bytes = 1422;
// A check box of the general parameters, and the addresses it makes used or not.
constexpr int Yes = 1480;
constexpr int No = 1481;
constexpr int Not_Used = 1482;        // %1 the address that stays unused
constexpr int Diagnostic_At = 1483;   // %1 the start address of the diagnostic block

// Variables.
constexpr int Variables = 1423;
constexpr int Variables_Count = 1453;

// TLS.
constexpr int Tls = 1425;
constexpr int Server_Certificate = 1426;
constexpr int Root_Certificate = 1427;
constexpr int Known_Certificate = 1428;
constexpr int Enabled = 1429;
constexpr int Disabled = 1430;
constexpr int Server_Key = 1431;
constexpr int Key_Type_Bits = 1432;
constexpr int Key_Encrypted = 1433;
constexpr int None = 1434;
constexpr int Not_A_Certificate = 1435;
constexpr int Not_A_Private_Key = 1454;

// Bank files.
constexpr int Bank_Files = 1436;
constexpr int File_Column = 1437;
constexpr int Size_Column = 1438;
constexpr int Sha256_Column = 1439;
constexpr int In_Bin_Column = 1440;
constexpr int Same_In_Bin = 1441;
constexpr int Different_In_Bin = 1442;
constexpr int Not_In_Bin = 1443;
constexpr int Does_Not_Fit = 1444;

// Findings.
constexpr int Findings = 1445;
constexpr int No_Findings = 1446;

} // namespace Report_Text
