#pragma once

#include <QString>

// The system's regional decimal separator setting, as the raw text it holds.
class Decimal_Separator {
public:
    virtual ~Decimal_Separator() = default;
    virtual QString Read() = 0;
};

// Reads the decimal point of the system locale.
class System_Decimal_Separator : public Decimal_Separator {
public:
    QString Read() override;
};
