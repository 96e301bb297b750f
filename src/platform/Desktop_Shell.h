#pragma once

#include <QString>

// Hands a web address to the desktop's default handler; the result is not checked.
class Desktop_Shell {
public:
    virtual ~Desktop_Shell() = default;
    virtual void Open_Url(const QString& Url) = 0;
};
