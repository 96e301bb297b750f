#include "commission/Commission_Record.h"

#include <QFileInfo>

namespace Commission {

Record Make_Record(const Plant_List& List, const Run_Settings& Settings, const Run_Report& Report)
{
    Record Rec;
    Rec.List_Name = QFileInfo(List.Path).fileName();
    Rec.Date = Report.Started.isValid() ? Report.Started : QDateTime::currentDateTime();
    Rec.Interface = Settings.Interface;
    for (int I = 0; I < List.Rows.size(); ++I) {
        const Plant_Row& Row = List.Rows[I];
        const Gateway_Outcome Out = Report.Outcomes.value(I);
        Record_Row R;
        R.Mac = Dcp::Mac_Text(Row.Mac);
        R.Station_Name = Row.Station_Name;
        R.Address = Row.Ip.Address.Text();
        R.Configuration = Row.Configuration;
        if (Out.Updated) {
            R.Bank1_Sha256 = Out.Bank1_Sha256;
            R.Bank2_Sha256 = Out.Bank2_Sha256;
        }
        R.State = Out.State;
        R.Text = Out.Text;
        R.Time = Out.Finished;
        Rec.Rows.append(R);
    }
    return Rec;
}

} // namespace Commission
