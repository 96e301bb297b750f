// Which libraries the program maps: a command none of the window's, the
// window all it needs, from a program folder copied anywhere.
#include "support/Test_Files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The libraries the dynamic loader maps for a run, as its own trace names them.
QStringList Loaded_Libraries(const QString& Trace)
{
    QStringList Names;
    static const QRegularExpression File_Line(QStringLiteral("file=(\\S+)\\s+\\[\\d+\\];\\s+needed by|file=(\\S+)\\s+\\[\\d+\\];\\s+dynamically loaded by"));
    auto Lines = File_Line.globalMatch(Trace);
    while (Lines.hasNext()) {
        const QRegularExpressionMatch Line = Lines.next();
        const QString Name = Line.captured(1).isEmpty() ? Line.captured(2) : Line.captured(1);
        Names.append(QFileInfo(Name).fileName());
    }
    return Names;
}

const QStringList Window_Libraries{QStringLiteral("libQt6Gui"),     QStringLiteral("libQt6Widgets"),
                                   QStringLiteral("libX11"),        QStringLiteral("libxcb"),
                                   QStringLiteral("libfontconfig"), QStringLiteral("libfreetype"),
                                   QStringLiteral("libEGL"),        QStringLiteral("libGLX")};

QStringList Window_Libraries_Among(const QStringList& Loaded)
{
    QStringList Found;
    for (const QString& Name : Loaded)
        for (const QString& Window_Library : Window_Libraries)
            if (Name.startsWith(Window_Library + QLatin1Char('.')) || Name.startsWith(Window_Library + QLatin1Char('-')))
                Found.append(Name);
    return Found;
}

} // namespace

class Test_Start_Libraries : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QString Program;

    QProcessEnvironment Traced() const
    {
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
        Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return Env;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(Dir.isValid());
        // A program folder of its own, far from the build tree.
        const QString Folder = Dir.filePath(QStringLiteral("somewhere/program"));
        QVERIFY(QDir().mkpath(Folder));
        Program = Folder + QStringLiteral("/sw40610");
        QVERIFY(QFile::copy(QStringLiteral(SW_BUILD_DIR "/src/sw40610"), Program));
        QVERIFY(QFile::copy(QStringLiteral(SW_BUILD_DIR "/src/libsw40610_window.so"),
                            Folder + QStringLiteral("/libsw40610_window.so")));
        QFile::setPermissions(Program, QFile::permissions(Program) | QFile::ExeOwner);
    }

    void a_command_maps_no_window_library_data()
    {
        QTest::addColumn<QStringList>("Arguments");
        QTest::newRow("--version") << QStringList{QStringLiteral("--version")};
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")};
        QTest::newRow("check") << QStringList{QStringLiteral("check"), QStringLiteral("CONFIG")};
        QTest::newRow("compile") << QStringList{QStringLiteral("compile"), QStringLiteral("CONFIG")};
    }

    void a_command_maps_no_window_library()
    {
        QFETCH(QStringList, Arguments);
        const QString Config = Dir.filePath(QStringLiteral("Plant"));
        QVERIFY(QDir().mkpath(Config));
        // An empty variables list is enough for a configuration folder.
        Test_Support::Write_File(Config + QStringLiteral("/IEC61850_Variables.xml"), "<IEC61850_Variables/>");
        Arguments.replaceInStrings(QStringLiteral("CONFIG"), Config);

        QProcess Run;
        Run.setProcessEnvironment(Traced());
        Run.start(Program, Arguments);
        QVERIFY(Run.waitForFinished(30000));
        const QString Trace = QString::fromLocal8Bit(Run.readAllStandardError());
        const QStringList Loaded = Loaded_Libraries(Trace);
        // The trace is read at all: the core library is in it.
        QVERIFY2(Loaded.contains(QStringLiteral("libQt6Core.so.6")), qPrintable(Trace.left(2000)));
        QCOMPARE(Window_Libraries_Among(Loaded), QStringList());
        // Nor the packet capture library: it comes when the network is searched.
        QVERIFY2(Loaded.filter(QStringLiteral("libpcap")).isEmpty(), qPrintable(Loaded.join(QLatin1Char(' '))));
    }

    void the_window_loads_its_library_beside_the_program()
    {
        QProcess Run;
        Run.setProcessEnvironment(Traced());
        Run.start(Program, QStringList());
        QVERIFY(Run.waitForStarted());
        QString Trace;
        QElapsedTimer Waited;
        Waited.start();
        while (!Trace.contains(QStringLiteral("libQt6Widgets")) && Waited.elapsed() < 30000
               && Run.state() == QProcess::Running) {
            Run.waitForReadyRead(200);
            Trace += QString::fromLocal8Bit(Run.readAllStandardError());
        }
        Run.kill();
        Run.waitForFinished();
        const QStringList Loaded = Loaded_Libraries(Trace);
        QVERIFY2(Loaded.contains(QStringLiteral("libsw40610_window.so")), qPrintable(Trace.right(2000)));
        QVERIFY(!Window_Libraries_Among(Loaded).isEmpty());
    }

    void a_missing_window_library_is_named()
    {
        const QString Lonely = Dir.filePath(QStringLiteral("lonely/sw40610"));
        QVERIFY(QDir().mkpath(QFileInfo(Lonely).path()));
        QVERIFY(QFile::copy(Program, Lonely));
        QProcess Run;
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        Run.setProcessEnvironment(Env);
        Run.start(Lonely, QStringList());
        QVERIFY(Run.waitForFinished(30000));
        QCOMPARE(Run.exitCode(), 1);
        const QString Err = QString::fromLocal8Bit(Run.readAllStandardError());
        QVERIFY2(Err.startsWith(QStringLiteral("sw40610: the window cannot be started: ")), qPrintable(Err));
        QVERIFY2(Err.contains(QStringLiteral("libsw40610_window")), qPrintable(Err));
    }
};

QTEST_GUILESS_MAIN(Test_Start_Libraries)
#include "test_start_libraries.moc"
