#pragma once

#include "editors/Ui_List_Editor.h"

class Decimal_Separator;

// The list of variables the gateway's IEC 61850 server publishes, kept in
// IEC61850_Variables.xml.
class TFIEC61850_Variables : public List_Editor {
    Q_OBJECT
public:
    // Separator may be null: the decimal separator is then ','.
    TFIEC61850_Variables(Workspace& Space, Prompter& Prompts, Decimal_Separator* Separator,
                         QWidget* Parent = nullptr);

    bool Controllo_dati() override;
    Table_Model& ACG_Model() { return Table; }

    int NByte_IN = 0;

protected:
    void Load_Table() override;
    std::expected<void, Write_Error> Save_Table() override;
    QString File_Path() const override;
    void Set_Table_Texts() override;
    bool Delete_Checks_First_Column() const override { return false; }
    int Delete_Question_Slot() const override { return 931; }

private:
    Decimal_Separator* Separator;
};
