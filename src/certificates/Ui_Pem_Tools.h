#pragma once

#include <QLabel>

#include <optional>

class Lang_Table;
class Open_File_Dialog;
class Prompter;

// One line under a key or certificate box that tells what the box holds
// ("CN=plant-north, valid until 2027-06-30, RSA 2048"). The full details are
// its tooltip; a text that is no key or certificate, a key its password does
// not open and a certificate out of its validity are shown in the warning
// colour. The owner passes the box's text whenever it changes.
class Pem_Summary_Label : public QLabel {
    Q_OBJECT
public:
    Pem_Summary_Label(const QString& Name, const Lang_Table& Lang, QWidget* Parent);

    // Text: the box's text; Password: the key password, for a key box.
    void Show(const QString& Text, const QString& Password = {});
    // Shows the last text again, as the current language puts it.
    void Refresh() { Show(Last_Text, Last_Password); }
    // Whether the summary warns.
    bool Is_Marked() const { return Marked; }
    // The whole summary, of which the label shows what fits.
    QString Summary_Line() const { return Line; }

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    void Elide();

    const Lang_Table& Lang;
    QString Last_Text;
    QString Last_Password;
    QString Line;
    QString Hint;
    bool Marked = false;
};

// Asks for a key or certificate file and reads it as PEM text. A file that
// holds no key or certificate is refused with its reason; nothing is returned
// then, nor when the user cancels.
std::optional<QString> Ask_Pem_File(Open_File_Dialog& Dialog, Prompter& Prompts, const Lang_Table& Lang,
                                    const QString& Initial_Folder, bool Keys_Too);
