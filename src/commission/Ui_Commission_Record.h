#pragma once

#include "commission/Commission_Record.h"

class Workspace;

namespace Commission {

// Draws the record with Qt's PDF writer in the workspace's language, in
// memory, and hands it whole to the program's writer: an old record is
// replaced only by a complete one, a failure names the system's reason.
// Needs a graphics application (an offscreen one will do).
std::expected<void, QString> Write_Record_Pdf(const Record& Rec, const QString& Path, const Workspace& Space);

} // namespace Commission
