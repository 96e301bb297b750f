#pragma once

#include <QObject>
#include <QPoint>

// Swallows, for one double-click interval, the mouse clicks at the place
// where a dialog was just closed by a click: the second click of a quick
// double-click on its OK would otherwise reach the window behind it. Clicks
// elsewhere go through. Deletes itself.
class Click_Guard : public QObject {
public:
    // Guards the global screen position At.
    static void Guard(const QPoint& At);

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    explicit Click_Guard(const QPoint& At);
    QPoint At;
};
