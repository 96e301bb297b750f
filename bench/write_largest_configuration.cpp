// Writes the largest configuration the editors allow into a configuration
// folder, so that a whole `sw40610 compile` run can be timed on it beside
// bench_image, which compiles the same configuration in-process.
#include "image/Image_Fixtures.h"

#include <QDir>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fputs("usage: write_largest_configuration CONFIG_DIR\n", stderr);
        return 2;
    }
    const QString Dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(Dir + "/bin")) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 3;
    }
    Image_Fixtures::Write_Project(Image_Fixtures::Largest_Project(), Dir + "/ParGen.xml",
                                  Dir + "/IEC61850_Variables.xml", Dir + "/TLS_Known_Cert.xml");
    return 0;
}
