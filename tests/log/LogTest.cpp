// The log file: its banners, the module line, time-stamped lines on disk at once and cut to 255
// characters, starting afresh or appending, and no file at all.

#include "log/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

TEST(LogTest, LinesAreStampedCutTo255OnDiskAtOnceAndFramedByBanners) {
    const std::string start = "=============== Log Start ===============\n",
                      end = "================ Log End ================\n";
    const auto path = std::filesystem::temp_directory_path() / ("veltra-log-" + std::to_string(::getpid()));
    std::ofstream(path) << "old line\n";
    {
        Log log;
        log.Write("no file yet");
        log.Open(path.string(), false, 42);
        log.Write("-> Open VM : %s", "OK");
        log.Write("%s", std::string(241, 'x').c_str()); // with stamp and newline one past the line's 255
    }
    Log(path.string(), true, 0).Write("-> %d", 1);
    Log("/nonexistent-folder/veltra.log", false, 0).Write("nothing");
    const std::string text = (std::stringstream() << std::ifstream(path).rdbuf()).str();
    EXPECT_EQ(std::regex_replace(text, std::regex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9]:[0-9]{3} \t"), "T\t"),
              start + "MODULE : " + std::filesystem::canonical("/proc/self/exe").string() +
                  "\nT\t-> Open VM : OK\nT\t" + std::string(240, 'x') + "\n" + end + start + "T\t-> 1\n" +
                  end);
    EXPECT_FALSE(std::filesystem::exists("/nonexistent-folder"));
    std::filesystem::remove(path);
}
