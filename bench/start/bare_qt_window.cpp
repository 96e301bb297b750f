// The yardstick for the window's start: a Qt main window with a few labels
// and buttons, shown at once.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication App(argc, argv);
    QMainWindow Window;
    auto* Central = new QWidget(&Window);
    auto* Layout = new QVBoxLayout(Central);
    for (int I = 1; I <= 4; ++I) {
        Layout->addWidget(new QLabel(QStringLiteral("Step %1").arg(I), Central));
        Layout->addWidget(new QPushButton(QStringLiteral("Button %1").arg(I), Central));
    }
    Window.setCentralWidget(Central);
    Window.setWindowTitle(QStringLiteral("bare_qt_window"));
    Window.show();
    return QApplication::exec();
}
