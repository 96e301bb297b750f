#include "foundation/Web_Addresses.h"

#include "foundation/Identity.h"

QString Home_Page_Url() { return QStringLiteral("http://") + Identity::Maker_Host + QStringLiteral("/HOME/default.asp?frompg=SW40610"); }

QString Download_Page_Url()
{
    return QStringLiteral("http://") + Identity::Maker_Host + QStringLiteral("/Home/download/download.asp#GW40610");
}
