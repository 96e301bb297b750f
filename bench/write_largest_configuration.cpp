// Writes the largest configuration the editors allow into a configuration
// folder, so that a whole `sw40610 compile` run can be timed on it beside
// bench_image, which compiles a configuration of the same shape in-process.
// The key and the certificates are real ones, made here with OpenSSL, since
// the command checks them before it compiles: an encrypted RSA 3072 key, a
// server certificate signed by the root, and ten distinct client certificates.
#include "image/Image_Fixtures.h"
#include "support/Test_Certificates.h"

#include <QDir>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    const bool Without_Tls = argc == 3 && std::strcmp(argv[2], "--no-tls") == 0;
    if (argc != 2 && !Without_Tls) {
        std::fputs("usage: write_largest_configuration CONFIG_DIR [--no-tls]\n", stderr);
        return 2;
    }
    const QString Dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(Dir + "/bin")) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 3;
    }
    Image_Fixtures::Project Largest = Image_Fixtures::Largest_Project();
    if (Without_Tls) {
        // The same 50 variables, TLS off: what a command costs without the key work.
        Largest.ParGen["TLS_Server_Enable"] = QStringLiteral("0");
        Largest.ParGen["TLS_Server_Enable_Known_Cert"] = QStringLiteral("0");
        Largest.ParGen["TLS_Server_Key"] = QString();
        Largest.ParGen["TLS_Server_Key_Password"] = QString();
        Largest.ParGen["TLS_Server_Server_Certificate"] = QString();
        Largest.ParGen["TLS_Server_Root_Certificate"] = QString();
        Largest.Known_Cert.clear();
        Image_Fixtures::Write_Project(Largest, Dir + "/ParGen.xml", Dir + "/IEC61850_Variables.xml",
                                      Dir + "/TLS_Known_Cert.xml");
        return 0;
    }
    using namespace Test_Pki;
    const QDateTime Now = QDateTime::currentDateTimeUtc();
    const Made_Key Root_Key = Make_Key(Key_Type::RSA_3072);
    const Made_Key Server_Key = Make_Key(Key_Type::RSA_3072);
    const Made_Certificate Root = Make_Certificate({QStringLiteral("Largest Root"), QStringLiteral("Test Plant"), &Root_Key,
                                                    nullptr, nullptr, Now.addDays(-1), Now.addYears(10), true, 1});
    const Made_Certificate Server = Make_Certificate({QStringLiteral("largest-gateway"), QStringLiteral("Test Plant"),
                                                      &Server_Key, &Root, &Root_Key, Now.addDays(-1),
                                                      Now.addYears(2), false, 2});
    Largest.ParGen["TLS_Server_Key"] = Server_Key.Encrypted_Pem(Largest.ParGen["TLS_Server_Key_Password"]);
    Largest.ParGen["TLS_Server_Server_Certificate"] = Server.Pem();
    Largest.ParGen["TLS_Server_Root_Certificate"] = Root.Pem();
    for (qsizetype I = 0; I < Largest.Known_Cert.size(); ++I) {
        const Made_Key Client_Key = Make_Key(Key_Type::RSA_3072);
        Largest.Known_Cert[I].Certificate =
            Make_Certificate({QStringLiteral("Client %1").arg(I), QStringLiteral("Test Plant"), &Client_Key, &Root,
                              &Root_Key, Now.addDays(-1), Now.addYears(2), false, 10 + static_cast<long>(I)})
                .Pem();
    }
    Image_Fixtures::Write_Project(Largest, Dir + "/ParGen.xml",
                                  Dir + "/IEC61850_Variables.xml", Dir + "/TLS_Known_Cert.xml");
    return 0;
}
