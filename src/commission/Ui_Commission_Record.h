#pragma once

#include "commission/Commission_Record.h"

class Lang_Table;

namespace Commission {

// Draws the record with Qt's PDF writer in the table's language, written
// beside Path and renamed over it only when whole. Needs a graphics
// application (an offscreen one will do).
std::expected<void, QString> Write_Record_Pdf(const Record& Rec, const QString& Path, const Lang_Table& Lang);

} // namespace Commission
