#pragma once

#include "editors/Editor_Texts.h"
#include "editors/Ui_List_Editor.h"

class Decimal_Separator;
class Open_File_Dialog;
class QLabel;
class Save_File_Dialog;
class Variable_Map;

// The list of variables the gateway's IEC 61850 server publishes, kept in
// IEC61850_Variables.xml, with a map of where they lie on the internal data
// array and CSV export and import.
class TFIEC61850_Variables : public List_Editor {
    Q_OBJECT
public:
    // Separator may be null: the decimal separator is then ','. Without a
    // dialog the CSV button that needs it does nothing.
    TFIEC61850_Variables(Workspace& Space, Prompter& Prompts, Decimal_Separator* Separator,
                         Save_File_Dialog* Save_Dialog = nullptr, Open_File_Dialog* Open_Dialog = nullptr,
                         QWidget* Parent = nullptr);

    bool Controllo_dati() override;
    Table_Model& ACG_Model() { return Table; }

    void Btn_ExportCsvClick();
    void Btn_ImportCsvClick();
    // Shows or hides the map; the dialog grows to hold it.
    void Btn_MapClick();
    bool Map_Shown() const { return Showing_Map; }

    int NByte_IN = 0;

protected:
    void Load_Table() override;
    bool Accept_Before_Save() override;
    std::expected<void, Write_Error> Save_Table() override;
    QByteArray Table_Bytes() const override;
    QList<QStringList> Table_Rows() const override;
    std::optional<Cell_Problem> Paste_Problem(const QList<QStringList>& Rows_After,
                                              const QList<QPoint>& Filled) const override;
    QString File_Path() const override;
    void Set_Table_Texts() override;
    bool Delete_Checks_First_Column() const override { return false; }
    int Key_Column() const override;
    int Delete_Question_Slot() const override { return Variables_Text::Delete_Question; }
    // A row that got a name while its Conversion and Molt. Factor are empty
    // gets "None" in both, the values a new variable takes most often.
    void Complete_Row(int Row, const QString& Name_Before) override;

private:
    void Place_Controls();
    void Fit_Buttons();
    void Fit_Columns();
    int Needed_Map_Shrink() const;
    void Refresh_Map();
    void Make_Row_Current(int Row);

    Decimal_Separator* Separator;
    Save_File_Dialog* Save_Dialog;
    Open_File_Dialog* Open_Dialog;
    QPushButton* Btn_ExportCsv = nullptr;
    QPushButton* Btn_ImportCsv = nullptr;
    QPushButton* Btn_Map = nullptr;
    Variable_Map* Map = nullptr;
    QLabel* L_Map_Info = nullptr;
    bool Showing_Map = false;
    int Table_Growth = 0; // what the dialog widens so that every header fits
    int Map_Shrink = 0; // what the table gives up so that the dialog fits the screen
};
