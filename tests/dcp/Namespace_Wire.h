#pragma once

// A private network namespace holding one veth pair, dcp0 (the
// configurator's end) and dcp1 (the simulated devices' end): the only wire
// these tests send raw Ethernet frames on. The test program re-executes
// itself inside it; where none can be made it ends with 77 (skipped) and
// says why.

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace Namespace_Wire {

constexpr const char* Host_Interface = "dcp0";
constexpr const char* Device_Interface = "dcp1";
constexpr int Skipped = 77;

// Inside the namespace this program made: marked so by Enter, and never the
// namespace of the machine's first process.
inline bool Inside()
{
    if (std::getenv("SW_DCP_NAMESPACE") == nullptr)
        return false;
    char Own[128] = {}, First[128] = {};
    const ssize_t Own_Size = readlink("/proc/self/ns/net", Own, sizeof Own - 1);
    const ssize_t First_Size = readlink("/proc/1/ns/net", First, sizeof First - 1);
    return Own_Size <= 0 || First_Size <= 0 || std::string(Own) != std::string(First);
}

// Called first in main(): returns only inside the namespace; outside it
// replaces the process by its run inside, or ends it as skipped.
inline int Enter(int argc, char* argv[])
{
    static const char* const Setup =
        "ip link set lo up 2>/dev/null\n"
        "ip link add name dcp0 type veth peer name dcp1 && ip link set dcp0 up && ip link set dcp1 up || "
        "{ echo 'skipped: no veth pair can be made in the network namespace'; exit 77; }\n"
        "for i in $(seq 50); do ip -o link show dev dcp0 | grep -q LOWER_UP && break; sleep 0.05; done\n"
        "exec \"$@\"\n";
    for (const char* How : {"--net", "--net --map-root-user"}) {
        if (std::system((std::string("unshare ") + How + " true >/dev/null 2>&1").c_str()) != 0)
            continue;
        setenv("SW_DCP_NAMESPACE", "1", 1);
        std::vector<const char*> Args{"unshare"};
        Args.push_back("--net");
        if (std::string(How).find("map-root") != std::string::npos)
            Args.push_back("--map-root-user");
        for (const char* A : {"sh", "-c", Setup, "sh"})
            Args.push_back(A);
        for (int I = 0; I < argc; ++I)
            Args.push_back(argv[I]);
        Args.push_back(nullptr);
        execvp("unshare", const_cast<char* const*>(Args.data()));
        std::perror("unshare");
        return Skipped;
    }
    std::printf("skipped: no network namespace can be made here (unshare -n needs root or user namespaces)\n");
    return Skipped;
}

} // namespace Namespace_Wire

// A main for a test in the namespace.
#define SW_NAMESPACE_TEST_MAIN(Test_Class, Application)                                                              \
    int main(int argc, char* argv[])                                                                                 \
    {                                                                                                                \
        if (!Namespace_Wire::Inside())                                                                               \
            return Namespace_Wire::Enter(argc, argv);                                                                \
        Application App(argc, argv);                                                                                 \
        Test_Class Test;                                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                   \
        return QTest::qExec(&Test, argc, argv);                                                                      \
    }
