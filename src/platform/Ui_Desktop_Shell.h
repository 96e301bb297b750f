#pragma once

#include "platform/Desktop_Shell.h"

class Qt_Desktop_Shell : public Desktop_Shell {
public:
    void Open_Url(const QString& Url) override;
};
