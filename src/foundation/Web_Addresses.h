#pragma once

#include <QString>

// The maker's pages opened in the desktop browser; plain HTTP.
QString Home_Page_Url();     // the home page, with the software code as query
QString Download_Page_Url(); // the download page, at this gateway's anchor
