#pragma once

#include "platform/Decimal_Separator.h"

#include <QString>

#include <utility>

// The regional decimal separator setting as the test fixes it: the raw
// text Read returns, ',' unless told otherwise.
class Fixed_Separator : public Decimal_Separator {
public:
    explicit Fixed_Separator(QString Setting = QStringLiteral(",")) : Text(std::move(Setting)) {}
    QString Read() override { return Text; }
    QString Text;
};
