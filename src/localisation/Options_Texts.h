#pragma once

// The string-table slots of the software options dialog's texts, named once.
namespace Options_Text {

constexpr int Title = 300;
constexpr int Description = 301;
constexpr int Language_Tab = 302;
constexpr int Connection_Tab = 303;
constexpr int Settings_Tab = 319;
constexpr int Ok = 312;
constexpr int Cancel = 313;

// Language page.
constexpr int Selected_Language = 304;  // the language in use follows
constexpr int Page = 305;               // "Page ", the page, Page_Of, the number of pages
constexpr int Page_Of = 306;
constexpr int Previous = 307;
constexpr int Next = 308;
// "Do you want to change the Language from ", the language in use, " to ",
// the language picked, "?".
constexpr int Change_Question_From = 316;
constexpr int Change_Question_To = 317;
constexpr int Change_Question_End = 318;

// Connection page.
constexpr int Enable_Internet_Box = 309;
constexpr int Check_At_Start_Box = 310;
constexpr int Check_Update_Button = 311;
constexpr int New_Version = 314;
constexpr int No_Update = 315;

// Settings page.
constexpr int Jump_Table_Box = 320;
constexpr int Double_Click_Size_Box = 321;

} // namespace Options_Text
