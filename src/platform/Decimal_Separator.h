#pragma once

#include <QString>

#include <utility>

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

// A setting given on the command line, read as the system's would be.
class Given_Decimal_Separator : public Decimal_Separator {
public:
    explicit Given_Decimal_Separator(QString Setting) : Text(std::move(Setting)) {}
    QString Read() override { return Text; }

private:
    QString Text;
};
