// The yardstick for a command's start: a Qt core program that parses its
// arguments and prints a line, as `sw40610 --version` does.
#include <QCoreApplication>
#include <QCommandLineParser>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication App(argc, argv);
    QCommandLineParser Parser;
    const QCommandLineOption Version({QStringLiteral("v"), QStringLiteral("version")}, {});
    Parser.addOption(Version);
    Parser.parse(QCoreApplication::arguments());
    QTextStream(stdout) << "bare_qt_core 1.0\n";
    return 0;
}
