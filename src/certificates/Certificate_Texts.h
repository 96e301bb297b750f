#pragma once

// The string-table slots of the certificate texts, named once so the core and
// both editors use the same ones.
namespace Certificates::Text_Slot {

// Names of the general parameters' TLS fields (their labels).
constexpr int Key_Label = 414;
constexpr int Key_Password_Label = 416;
constexpr int Server_Certificate_Label = 418;
constexpr int Root_Certificate_Label = 420;
constexpr int Enable_Known_Cert_Label = 422;

// Shared by the general parameters and the known-certificates editors.
constexpr int Load_Button = 1170;
constexpr int Load_Button_Hint = 1171;
constexpr int Load_Dialog_Title = 1172;
constexpr int Load_Filter = 1173;
constexpr int Load_Filter_All = 1174;
constexpr int File_Holds_Nothing = 1175;
constexpr int File_Unreadable = 1176;
constexpr int Valid_Until = 1177;
constexpr int Expired_On = 1178;
constexpr int Not_Valid_Before = 1179;
constexpr int Private_Key = 1180;
constexpr int Encrypted = 1181;
constexpr int Not_A_Certificate = 1182;
constexpr int More_Certificates = 1183;
constexpr int Password_Does_Not_Open = 1184;
constexpr int Has_Expired = 1185;
constexpr int Not_Yet_Valid = 1186;
constexpr int Expires_Soon = 1187;
constexpr int Save_Anyway = 1188;
constexpr int File_Too_Large = 1189;
// What a text that OpenSSL cannot read is, in plain words; OpenSSL's own
// reason goes to the details.
constexpr int Not_Pem_Or_Der = 1536;
constexpr int Library_Reason = 1537;

// The program's modules (the crypto module, the window's).
constexpr int Module_Missing = 878;
constexpr int Module_Not_Loadable = 879;
constexpr int Module_Other_Build = 880;
constexpr int Crypto_Missing = 881;

// General parameters editor.
constexpr int No_Private_Key = 600;
constexpr int Several_Private_Keys = 601;
constexpr int No_Certificate = 602;
constexpr int Key_In_Certificate_Box = 603;
constexpr int Key_Password_Wrong = 604;
constexpr int Key_Mismatch = 605;
constexpr int Not_Signed_By_Root = 606;
constexpr int Empty_Box = 607;
constexpr int No_Enabled_Known = 608;
constexpr int Warnings_Intro = 609;

// Known-certificates editor.
constexpr int Details_Subject = 840;
constexpr int Details_Issuer = 841;
constexpr int Details_Validity = 842;
constexpr int Details_Serial = 843;
constexpr int Details_Fingerprint = 844;
constexpr int Details_Key = 845;
constexpr int Details_CA = 846;
constexpr int Row_Name = 847;
constexpr int Key_In_List = 848;
constexpr int Not_Single_Certificate = 849;
constexpr int Listed_Twice = 850;
constexpr int List_Warnings_Intro = 851;
constexpr int Load_Row_Button = 852;
constexpr int Load_Row_Hint = 853;

} // namespace Certificates::Text_Slot
