#pragma once

#include <QObject>

// Drops the user's input (mouse, keys, wheel, touch, tablet, context menus and
// the user closing a window) for the whole application while it lives. Used
// while the program waits with window messages running, and to swallow what
// piled up while a window could not react, so that nothing the user did in
// the meantime acts afterwards. A close asked for by the program itself goes
// through.
class Input_Blocker : public QObject {
public:
    Input_Blocker();
    ~Input_Blocker() override;
    Input_Blocker(const Input_Blocker&) = delete;
    Input_Blocker& operator=(const Input_Blocker&) = delete;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
};
