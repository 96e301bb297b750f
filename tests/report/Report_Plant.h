#pragma once

#include "foundation/Workspace.h"
#include "project/Par_Gen_File.h"
#include "support/Test_Certificates.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// What the report tests start from: a program folder in a temporary
// directory with the shipped language files and the chosen language, the
// configuration "Plant North" open in it, its general parameters with TLS
// and the server's key and certificates.
struct Report_Plant {
    QTemporaryDir Dir;
    Workspace Space{Dir.path() + "/prog"};
    Test_Pki::Set Pki{QDateTime::currentDateTimeUtc()};

    Report_Plant(const QString& Language, const QString& Station_Name, const QString& Server_Password)
    {
        Space.Create_Directories();
        Space.Language_Name = Language;
        QDir().mkpath(Space.Language_Dir);
        for (const QString& File : QDir(SW_RESOURCES_DIR "/LANGUAGE").entryList({"*.lng"}))
            QFile::copy(SW_RESOURCES_DIR "/LANGUAGE/" + File, Space.Language_Dir + "/" + File);
        Space.Init_Language();
        QDir().mkpath(Space.Projects_Dir + "/Plant North/bin");
        Space.Activate_Project("Plant North");

        Par_Gen::Values Par = Par_Gen::Defaults();
        Par[Par_Gen::PROFINET_NAME_STA] = Station_Name;
        Par[Par_Gen::IEC61850_Server_Password] = Server_Password;
        Par[Par_Gen::TLS_Server_Enable] = "1";
        Par[Par_Gen::TLS_Server_Enable_Known_Cert] = "1";
        Par[Par_Gen::TLS_Server_Key] = Pki.Server_Key.Pem();
        Par[Par_Gen::TLS_Server_Server_Certificate] = Pki.Server.Pem();
        Par[Par_Gen::TLS_Server_Root_Certificate] = Pki.Root.Pem();
        QVERIFY(Par_Gen::Save(Space.File_ParGen, Par));
    }
};
