// A stand-in for a program the launcher starts: waits the given
// milliseconds, writes a line to the given file and ends with the given code.
//   mark_after MS FILE CODE
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 100;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[1])));
    std::ofstream(argv[2]) << "x\n";
    return std::atoi(argv[3]);
}
