// The log file: its banners, the module line, time-stamped lines on disk at once and cut to 255
// characters, appending or starting afresh, and no file at all.

#include "log/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <unistd.h>

namespace {

TEST(LogTest, LinesAreStampedCutTo255OnDiskAtOnceAndFramedByBanners) {
    const std::string start = "=============== Log Start ===============\n";
    const std::string end = "================ Log End ================\n";
    const auto path = std::filesystem::temp_directory_path() / ("veltra-log-" + std::to_string(::getpid()));
    const auto read = [&] { return (std::stringstream() << std::ifstream(path).rdbuf()).str(); };
    std::ofstream(path) << "old line\n";
    { Log appended(path.string(), true, 0); }
    EXPECT_EQ(read(), "old line\n" + start + end);
    {
        Log log;
        log.Write("before any file");
        log.Open(path.string(), false, 42);
        log.Write("-> Open VM : %s", "OK");
        log.Write("%s", std::string(241, 'x').c_str()); // with stamp and newline one past the line's 255
        EXPECT_TRUE(std::regex_match(
            read(), std::regex(start + "MODULE : /.+\n[0-2][0-9]:[0-5][0-9]:[0-5][0-9]:[0-9]{3} "
                                       "\t-> Open VM : OK\n.{13}\tx{240}\n")))
            << read();
    }
    EXPECT_TRUE(read().ends_with("\tx" + std::string(239, 'x') + "\n" + end)) << read();
    std::filesystem::remove(path);
    Log nowhere;
    nowhere.Open("/nonexistent-folder/veltra.log", false, 0);
    nowhere.Write("nothing");
    EXPECT_FALSE(std::filesystem::exists("/nonexistent-folder"));
}

} // namespace
