#pragma once

#include "editors/Editor_Texts.h"
#include "editors/Ui_List_Editor.h"

#include <memory>

class Certificate_Delegate;
class Open_File_Dialog;
class QPushButton;

// The client certificates the gateway's TLS server accepts, kept in
// TLS_Known_Cert.xml.
class TFTLS_Server_Known_Cert : public List_Editor {
    Q_OBJECT
public:
    // Without an open-file dialog the desktop's own is used.
    TFTLS_Server_Known_Cert(Workspace& Space, Prompter& Prompts, QWidget* Parent = nullptr,
                            Open_File_Dialog* Open_Dialog = nullptr);
    ~TFTLS_Server_Known_Cert() override;

    // A row that holds anything but one certificate refuses the save and is
    // selected; warnings (expiry, a certificate listed twice, nothing enabled
    // while only known certificates are accepted) are asked about together.
    bool Controllo_dati() override;
    // Fills the certificate of the current row from a file.
    void Btn_LoadRowClick();
    Table_Model& ASG_Model() { return Table; }
    Certificate_Delegate& Certificate_Cells() { return *Certificates_Column; }

protected:
    void Init_Table();
    void Load_Table() override;
    std::expected<void, Write_Error> Save_Table() override;
    QByteArray Table_Bytes() const override;
    QString File_Path() const override;
    void Set_Table_Texts() override;
    bool Delete_Checks_First_Column() const override { return true; }
    int Key_Column() const override;
    int Delete_Question_Slot() const override { return Known_Cert_Text::Delete_Question; }

private:
    // Whether the general parameters have TLS on and accept only listed certificates.
    bool Only_Known_In_Force() const;
    void Select_Certificate(int Row);

    std::unique_ptr<Open_File_Dialog> Own_Open_Dialog;
    Open_File_Dialog* Open_Dialog;
    Certificate_Delegate* Certificates_Column = nullptr;
    QPushButton* Btn_LoadRow = nullptr;
};
