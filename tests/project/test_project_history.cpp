// The kept versions of the project files, and the lock that keeps a second
// program off a configuration.
#include "project/Par_Gen_File.h"
#include "project/Project_History.h"
#include "project/Project_Lock.h"
#include "project/Variables_File.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <iostream>

namespace {

QByteArray Bytes_Of(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("(unreadable)");
}

Par_Gen::Values With_Station(const QString& Name)
{
    Par_Gen::Values Data = Par_Gen::Defaults();
    Data[Par_Gen::PROFINET_NAME_STA] = Name;
    return Data;
}

// Started as a second process by the lock tests: holds the lock of the folder
// given until its standard input closes.
int Hold_Lock(const QString& Dir)
{
    Project_Lock Lock;
    if (Lock.Take(Dir) != Project_Lock::Outcome::Taken)
        return 5;
    std::cout << "held" << std::endl;
    std::getchar();
    return 0;
}

} // namespace

class Test_Project_History : public QObject {
    Q_OBJECT

    QTemporaryDir Dir;
    QString Par_Gen_Path() const { return Dir.filePath("ParGen.xml"); }

    // A second program that holds the lock of Folder, started and waiting.
    void Start_Holder(QProcess& Holder, const QString& Folder)
    {
        QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
        Env.insert("SW_TEST_HOLD_LOCK", Folder);
        Holder.setProcessEnvironment(Env);
        Holder.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(Holder.waitForReadyRead(20000));
        QCOMPARE(Holder.readLine().trimmed(), QByteArray("held"));
    }

private slots:
    void init() { QVERIFY(QDir(Dir.path()).removeRecursively() && QDir().mkpath(Dir.path())); }

    void the_first_save_keeps_nothing_and_later_ones_keep_the_version_replaced()
    {
        QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station("first")));
        QVERIFY(Project_History::List(Dir.path()).isEmpty());
        const QByteArray First = Bytes_Of(Par_Gen_Path());

        QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station("second")));
        const QList<Project_History::Version> Kept = Project_History::List(Dir.path());
        QCOMPARE(Kept.size(), 1);
        QCOMPARE(Kept[0].File, QString("ParGen.xml"));
        QVERIFY2(QRegularExpression("^ParGen\\.\\d{8}-\\d{6}\\.xml$").match(Kept[0].Name).hasMatch(),
                 qPrintable(Kept[0].Name));
        QCOMPARE(Bytes_Of(Kept[0].Path), First);
        QCOMPARE(Kept[0].Size, First.size());
        QVERIFY(qAbs(Kept[0].Time.secsTo(QDateTime::currentDateTime())) < 60);

        // The list files keep theirs in the same folder, under their own names.
        const QString Variables = Dir.filePath("IEC61850_Variables.xml");
        QVERIFY(Variables_File::Save(Variables, {{"Y", "A", "FLOAT", "4", "N", "0", "0", "", "1", "N", "N", ""}}));
        QVERIFY(Variables_File::Save(Variables, {{"Y", "B", "FLOAT", "4", "N", "0", "0", "", "1", "N", "N", ""}}));
        QCOMPARE(Project_History::List(Dir.path()).size(), 2);
    }

    void saves_within_one_second_never_overwrite_a_kept_version()
    {
        const QDateTime Same = QDateTime(QDate(2026, 3, 1), QTime(10, 0, 0));
        QByteArrayList Expected;
        for (int I = 0; I < 4; ++I) {
            QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station(QString("v%1").arg(I))));
            Expected.prepend(Bytes_Of(Par_Gen_Path()));
            QVERIFY(Project_History::Keep(Par_Gen_Path(), Same));
        }
        const QList<Project_History::Version> Kept = Project_History::List(Dir.path());
        // Each save above also kept its predecessor at the real time; those at the fixed time are the four.
        QList<Project_History::Version> At_Same;
        for (const auto& V : Kept)
            if (V.Time == Same)
                At_Same.append(V);
        QCOMPARE(At_Same.size(), 4);
        QCOMPARE(At_Same[0].Name, QString("ParGen.20260301-100000-4.xml"));
        QCOMPARE(At_Same[3].Name, QString("ParGen.20260301-100000.xml"));
        for (int I = 0; I < 4; ++I)
            QCOMPARE(Bytes_Of(At_Same[I].Path), Expected[I]);
    }

    void an_unchanged_file_is_kept_once()
    {
        QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station("same")));
        for (int I = 0; I < 3; ++I)
            QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station("same")));
        QCOMPARE(Project_History::List(Dir.path()).size(), 1);
    }

    void the_newest_twenty_of_each_file_stay()
    {
        const QDateTime Start(QDate(2026, 1, 1), QTime(8, 0, 0));
        QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station("v0")));
        QFile Other(Dir.filePath("TLS_Known_Cert.xml"));
        QVERIFY(Other.open(QIODevice::WriteOnly) && Other.write("<TLS_Known_Cert/>") > 0);
        Other.close();
        QVERIFY(Project_History::Keep(Other.fileName(), Start));
        for (int I = 1; I <= 25; ++I) {
            QVERIFY(Project_History::Keep(Par_Gen_Path(), Start.addSecs(I)));
            QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station(QString("v%1").arg(I))));
        }
        QList<Project_History::Version> Of_Par_Gen;
        for (const auto& V : Project_History::List(Dir.path()))
            if (V.File == "ParGen.xml")
                Of_Par_Gen.append(V);
        QCOMPARE(Of_Par_Gen.size(), Project_History::Kept_Per_File);
        // The newest (the one the last save replaced) stays, the oldest went.
        QVERIFY(Bytes_Of(Of_Par_Gen.first().Path).contains("v24"));
        QVERIFY(!QFile::exists(Dir.filePath(".history/ParGen.20260101-080001.xml")));
        // Another file's history is not pruned with it.
        QVERIFY(QFile::exists(Dir.filePath(".history/TLS_Known_Cert.20260101-080000.xml")));
    }

    void a_restore_keeps_the_current_version_so_it_can_be_undone()
    {
        QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station("old")));
        const QByteArray Old = Bytes_Of(Par_Gen_Path());
        QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station("new")));
        const QByteArray New = Bytes_Of(Par_Gen_Path());
        const Project_History::Version Old_Version = Project_History::List(Dir.path()).first();

        QVERIFY(Project_History::Restore(Dir.path(), Old_Version));
        QCOMPARE(Bytes_Of(Par_Gen_Path()), Old);
        const Project_History::Version Undo = Project_History::List(Dir.path()).first();
        QCOMPARE(Bytes_Of(Undo.Path), New);

        QVERIFY(Project_History::Restore(Dir.path(), Undo));
        QCOMPARE(Bytes_Of(Par_Gen_Path()), New);
    }

    void restoring_the_oldest_of_a_full_history_still_restores_it()
    {
        const QDateTime Start(QDate(2026, 1, 1), QTime(8, 0, 0));
        QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station("v0")));
        for (int I = 1; I <= Project_History::Kept_Per_File; ++I) {
            QVERIFY(Project_History::Keep(Par_Gen_Path(), Start.addSecs(I)));
            QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station(QString("v%1").arg(I))));
        }
        const Project_History::Version Oldest = Project_History::List(Dir.path()).last();
        const QByteArray Wanted = Bytes_Of(Oldest.Path);
        // Keeping the current version pushes this one out of the twenty: it is read first.
        QVERIFY(Project_History::Restore(Dir.path(), Oldest, Start.addSecs(100)));
        QCOMPARE(Bytes_Of(Par_Gen_Path()), Wanted);
    }

    void a_history_that_cannot_be_written_stops_the_save()
    {
#ifdef Q_OS_WIN
        QSKIP("QFile::link makes a shortcut (.lnk) on Windows, not a link that the file system follows");
#endif
        QVERIFY(Par_Gen::Save(Par_Gen_Path(), With_Station("old")));
        const QByteArray Old = Bytes_Of(Par_Gen_Path());
        // A symbolic link in the history's place would put the versions elsewhere.
        QTemporaryDir Elsewhere;
        QVERIFY(QFile::link(Elsewhere.path(), Dir.filePath(".history")));
        const auto Saved = Par_Gen::Save(Par_Gen_Path(), With_Station("new"));
        QVERIFY(!Saved);
        QVERIFY(Saved.error().Refused_Link());
        QCOMPARE(Bytes_Of(Par_Gen_Path()), Old);
        QVERIFY(QDir(Elsewhere.path()).isEmpty());
    }

    void a_lock_held_by_a_second_program_is_not_taken()
    {
        QProcess Holder;
        Start_Holder(Holder, Dir.path());
        Project_Lock Mine;
        QCOMPARE(Mine.Take(Dir.path()), Project_Lock::Outcome::Held_Elsewhere);
        QVERIFY(Mine.Other);
        QCOMPARE(Mine.Other->Pid, Holder.processId());
        QVERIFY(!Mine.Other->Host.isEmpty());
        QVERIFY(qAbs(Mine.Other->Since.secsTo(QDateTime::currentDateTime())) < 60);
        QVERIFY(Project_Lock::Holder_Of(Dir.path()));

        // Once it is gone, the lock is free.
        Holder.closeWriteChannel();
        QVERIFY(Holder.waitForFinished(20000));
        QCOMPARE(Holder.exitCode(), 0);
        QVERIFY(!Project_Lock::Holder_Of(Dir.path()));
        QCOMPARE(Mine.Take(Dir.path()), Project_Lock::Outcome::Taken);
        QCOMPARE(Mine.Dir(), QDir(Dir.path()).absolutePath());
    }

    void the_lock_of_a_program_that_died_is_taken_over()
    {
        QProcess Holder;
        Start_Holder(Holder, Dir.path());
        Holder.kill();
        QVERIFY(Holder.waitForFinished(20000));
        QVERIFY(QFile::exists(Dir.filePath(Project_Lock::File_Name)));
        Project_Lock Mine;
        QCOMPARE(Mine.Take(Dir.path()), Project_Lock::Outcome::Taken);
    }

    void taking_another_folder_releases_the_first_only_once_the_second_is_held()
    {
        QTemporaryDir Second;
        QProcess Holder;
        Start_Holder(Holder, Second.path());
        Project_Lock Mine;
        QCOMPARE(Mine.Take(Dir.path()), Project_Lock::Outcome::Taken);
        QCOMPARE(Mine.Take(Second.path()), Project_Lock::Outcome::Held_Elsewhere);
        QCOMPARE(Mine.Dir(), QDir(Dir.path()).absolutePath());
        Holder.closeWriteChannel();
        QVERIFY(Holder.waitForFinished(20000));
        QCOMPARE(Mine.Take(Second.path()), Project_Lock::Outcome::Taken);
        QVERIFY(!Project_Lock::Holder_Of(Dir.path()));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication App(argc, argv);
    if (const QString Folder = qEnvironmentVariable("SW_TEST_HOLD_LOCK"); !Folder.isEmpty())
        return Hold_Lock(Folder);
    Test_Project_History Test;
    return QTest::qExec(&Test, argc, argv);
}

#include "test_project_history.moc"
