#include "dcp/Dcp_Texts.h"

#include "foundation/Lang_Strings.h"

namespace Dcp {

Block_Error_Words Block_Error_Words_Of(quint8 Error)
{
    constexpr int Named = Dcp_Text::Last_Block_Error - Dcp_Text::First_Block_Error;
    if (Error <= Named)
        return {Dcp_Text::First_Block_Error + Error, {}};
    return {Dcp_Text::Unknown_Block_Error, QString::number(Error)};
}

QString Block_Error_Text(const Lang_Table& Texts, quint8 Error)
{
    const Block_Error_Words Words = Block_Error_Words_Of(Error);
    return Words.Argument.isEmpty() ? Texts[Words.Slot] : Texts[Words.Slot].arg(Words.Argument);
}

} // namespace Dcp
