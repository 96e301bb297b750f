#include "platform/Ui_Desktop_Shell.h"

#include <QDesktopServices>
#include <QUrl>

void Qt_Desktop_Shell::Open_Url(const QString& Url) { QDesktopServices::openUrl(QUrl(Url)); }
