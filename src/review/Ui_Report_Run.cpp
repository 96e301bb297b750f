#include "review/Ui_Report_Run.h"

#include "foundation/Workspace.h"
#include "platform/Decimal_Separator.h"
#include "platform/Platform_Services.h"
#include "platform/Prompter.h"
#include "platform/Save_File_Dialog.h"
#include "review/Review_Texts.h"
#include "review/Ui_Report_Pdf.h"

#include <QDir>
#include <QLocale>

namespace Review {

void Ask_And_Write_Report(const Workspace& Space, const Platform_Services& Services)
{
    const Save_File_Request Asked{Space.Project_Dir, Report_File_Name(Space.Project_Name),
                                  Space.Str(Report_Text::Pdf_Filter), QStringLiteral("*.pdf")};
    const std::optional<QString> Path = Services.Save_Dialog->Ask_Save_Path(Asked);
    if (!Path)
        return;
    System_Decimal_Separator System;
    const auto Written = Write_Report(Space, Services.Separator ? *Services.Separator : System,
                                      {*Path, Report_Page_Size(QLocale()), QDateTime::currentDateTime()});
    if (!Written)
        Services.Prompts->Error(Space.Str(Report_Text::Not_Written).arg(Written.error()));
    else
        Services.Prompts->Information(Space.Str(Report_Text::Written).arg(QDir::toNativeSeparators(*Path)));
}

} // namespace Review
