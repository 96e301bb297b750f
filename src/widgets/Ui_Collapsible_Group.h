#pragma once

#include <QWidget>

class QToolButton;

// A captioned group whose header collapses and expands its body. Controls
// are placed on Body() at fixed positions; the owner sets the body height.
class Collapsible_Group : public QWidget {
    Q_OBJECT
public:
    Collapsible_Group(const QString& Name, int Width, QWidget* Parent = nullptr);

    QWidget* Body() const { return Content; }
    QToolButton* Header() const { return Caption; }
    void Set_Caption(const QString& Text);
    QString Caption_Text() const;
    int Header_Height() const;
    void Set_Body_Height(int Height);
    bool Is_Expanded() const;
    void Set_Expanded(bool Expanded);

signals:
    // The group's height changed by collapsing or expanding.
    void Height_Changed();

private:
    void Fit();

    QToolButton* Caption;
    QWidget* Content;
    int Body_Height = 0;
};
