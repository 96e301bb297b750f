#pragma once

#include "platform/Desktop_Shell.h"

#include <QString>
#include <QStringList>

// Keeps the web addresses it is asked to open; no browser starts.
class Fake_Desktop_Shell : public Desktop_Shell {
public:
    void Open_Url(const QString& Url) override { Opened.append(Url); }
    QStringList Opened;
};
