#include "support/Test_Files.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using Test_Support::Write_File;

namespace {

struct Check_Run {
    bool Passed = false;
    QString Output;
};

// Runs the core include check over the given files as the build does.
Check_Run Run_Check(const QTemporaryDir& Dir, const QStringList& Files)
{
    const QString List = Dir.filePath(QStringLiteral("sources.txt"));
    Write_File(List, Files.join(QLatin1Char('\n')).toUtf8() + '\n');
    QProcess Cmake;
    Cmake.setProcessChannelMode(QProcess::MergedChannels);
    Cmake.start(QStringLiteral(SW_CMAKE_COMMAND),
                {QStringLiteral("-DSW_SOURCES_FILE=") + List,
                 QStringLiteral("-DSW_REFUSED_NAMES_FILE=") + QStringLiteral(SW_REFUSED_NAMES_FILE), QStringLiteral("-P"),
                 QStringLiteral(SW_CORE_INCLUDES_SCRIPT)});
    if (!Cmake.waitForFinished(60000))
        return {false, QStringLiteral("cmake did not finish")};
    return {Cmake.exitStatus() == QProcess::NormalExit && Cmake.exitCode() == 0, QString::fromUtf8(Cmake.readAll())};
}

} // namespace

class Test_Core_Includes : public QObject {
    Q_OBJECT
private slots:
    void Planted_Include_data();
    void Planted_Include();
    void Every_Offending_Line_Is_Named();
};

void Test_Core_Includes::Planted_Include_data()
{
    QTest::addColumn<QString>("Include");
    QTest::addColumn<bool>("Refused");
    const QString Hash = QStringLiteral("#");
    QTest::newRow("widget class") << Hash + "include <QWidget>" << true;
    QTest::newRow("label class") << Hash + "include <QLabel>" << true;
    QTest::newRow("widgets module") << Hash + "include <QtWidgets>" << true;
    QTest::newRow("widgets module path") << Hash + "include <QtWidgets/QPushButton>" << true;
    QTest::newRow("GUI module") << Hash + "include <QtGui>" << true;
    QTest::newRow("GUI module path") << Hash + "include <QtGui/QColor>" << true;
    QTest::newRow("GUI class") << Hash + "include <QPainter>" << true;
    QTest::newRow("GUI file name") << Hash + "include <qimage.h>" << true;
    QTest::newRow("quoted GUI class") << Hash + "include \"QFont\"" << true;
    QTest::newRow("blanks around the hash") << "  " + Hash + "  include <QColor>" << true;
    QTest::newRow("a window of the project") << Hash + "include \"editors/TFParGen.h\"" << true;
    QTest::newRow("a widget of the project") << Hash + "include \"widgets/Ui_Fit_Text.h\"" << true;
    QTest::newRow("core class") << Hash + "include <QString>" << false;
    QTest::newRow("core module path") << Hash + "include <QtCore/QObject>" << false;
    QTest::newRow("network module path") << Hash + "include <QtNetwork/QTcpSocket>" << false;
    QTest::newRow("test class") << Hash + "include <QTest>" << false;
    QTest::newRow("core header of the project") << Hash + "include \"foundation/Workspace.h\"" << false;
    QTest::newRow("standard header") << Hash + "include <vector>" << false;
    QTest::newRow("commented out") << "// " + Hash + "include <QWidget>" << false;
}

void Test_Core_Includes::Planted_Include()
{
    QFETCH(QString, Include);
    QFETCH(bool, Refused);
    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    const QString Planted = Dir.filePath(QStringLiteral("core/Planted.cpp"));
    Write_File(Planted, "#include <QString>\n" + Include.toUtf8() + "\nint Planted() { return 0; }\n");
    const Check_Run Run = Run_Check(Dir, {Planted});
    QVERIFY2(Run.Passed == !Refused, qPrintable(Run.Output));
    if (Refused)
        QVERIFY2(Run.Output.contains(Planted + QStringLiteral(":2: ")), qPrintable(Run.Output));
}

void Test_Core_Includes::Every_Offending_Line_Is_Named()
{
    QTemporaryDir Dir;
    QVERIFY(Dir.isValid());
    const QString Clean = Dir.filePath(QStringLiteral("Clean.h"));
    const QString First = Dir.filePath(QStringLiteral("First.cpp"));
    const QString Second = Dir.filePath(QStringLiteral("Second.h"));
    Write_File(Clean, "#pragma once\n#include <QString>\n");
    Write_File(First, "#include <QLabel>\n#include <QString>\n#include <QtGui/QPainter>\n");
    Write_File(Second, "#pragma once\n#include \"shell/TFAbout.h\"\n");
    const Check_Run Run = Run_Check(Dir, {Clean, First, Second});
    QVERIFY(!Run.Passed);
    for (const QString& Where : {First + ":1: ", First + ":3: ", Second + ":2: "})
        QVERIFY2(Run.Output.contains(Where), qPrintable(Run.Output));
    QVERIFY2(!Run.Output.contains(Clean), qPrintable(Run.Output));
}

QTEST_GUILESS_MAIN(Test_Core_Includes)
#include "test_core_includes.moc"
