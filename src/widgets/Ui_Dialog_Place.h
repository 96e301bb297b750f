#pragma once

#include <QObject>
#include <QPoint>

#include <optional>

class QDialog;
class QWidget;

// Moves a shown window up (or down) so that its frame lies on the screen's
// available area, as far as its height allows; its top stays reachable.
void Keep_On_Screen(QWidget* Window);

// Keeps a dialog where it was last seen, relative to the window that owns
// it: each showing opens it at the same place. Left to itself, a dialog is
// centred anew at every showing from a size that includes the window frame
// only from the second showing on, so it opens a frame's height lower than
// the first time.
class Dialog_Place : public QObject {
public:
    // Lives as long as the dialog.
    explicit Dialog_Place(QDialog* Dialog);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QPoint Owner_Position() const;

    QDialog* Dialog;
    // Where the dialog stood, from its owner's top-left corner.
    std::optional<QPoint> Offset;
};
