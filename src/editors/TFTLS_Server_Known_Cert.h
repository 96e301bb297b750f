#pragma once

#include "editors/Ui_List_Editor.h"

// The client certificates the gateway's TLS server accepts, kept in
// TLS_Known_Cert.xml.
class TFTLS_Server_Known_Cert : public List_Editor {
    Q_OBJECT
public:
    TFTLS_Server_Known_Cert(Workspace& Space, Prompter& Prompts, QWidget* Parent = nullptr);

    // The list has no rules of its own.
    bool Controllo_dati() override { return true; }
    Table_Model& ASG_Model() { return Table; }

protected:
    void Init_Table();
    void Load_Table() override;
    std::expected<void, Write_Error> Save_Table() override;
    QString File_Path() const override;
    void Set_Table_Texts() override;
    bool Delete_Checks_First_Column() const override { return true; }
    int Key_Column() const override;
    int Delete_Question_Slot() const override { return 821; }
};
