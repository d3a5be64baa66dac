// Entry point of every test binary. CTest runs the cases of one binary as
// separate processes, several at a time, all started in the same folder; the
// engine writes vexlar.log (and tests write their scratch files) into the
// working folder, so each process moves into a folder of its own first.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);

    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder = fs::current_path(error) / ("run." + std::to_string(getpid()));
    const bool moved = !error && fs::create_directories(folder, error) && (fs::current_path(folder, error), !error);

    const int result = RUN_ALL_TESTS();

    if (moved && result == 0 && std::getenv("VEXLAR_KEEP_TESTWORK") == nullptr)
    {
        fs::current_path(folder.parent_path(), error);
        fs::remove_all(folder, error);
    }
    return result;
}
