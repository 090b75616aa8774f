#include "log/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <unistd.h>

namespace {

const std::string StartBanner = "=============== Log Start ===============\n";
const std::string EndBanner = "================ Log End ================\n";

class LogTest : public testing::Test {
protected:
    std::filesystem::path Path =
        std::filesystem::temp_directory_path() / ("veltra-log-" + std::to_string(::getpid()) + ".log");
    void TearDown() override { std::filesystem::remove(Path); }
    std::string Contents() const {
        std::stringstream text;
        text << std::ifstream(Path).rdbuf();
        return text.str();
    }
};

TEST_F(LogTest, EachLineIsTimeStampedCutTo255AndOnDiskAtOnce) {
    {
        Log log;
        log.Open(Path.string(), false, 42);
        log.Write("-> Open VM : %s", "OK");
        log.Write("%s", std::string(241, 'x').c_str()); // with stamp and newline one past the line's 255
        const std::regex expected(StartBanner + "MODULE : /.+\n[0-2][0-9]:[0-5][0-9]:[0-5][0-9]:[0-9]{3} \t"
                                                "-> Open VM : OK\n.{13}\tx{240}\n");
        EXPECT_TRUE(std::regex_match(Contents(), expected)) << Contents();
    }
    EXPECT_TRUE(Contents().ends_with("x\n" + EndBanner));
}

TEST_F(LogTest, AppendKeepsOldContentsTruncateStartsAfreshAndNoFileIsNoFailure) {
    std::ofstream(Path) << "old line\n";
    { Log log(Path.string(), true, 0); }
    EXPECT_EQ(Contents(), "old line\n" + StartBanner + EndBanner);
    { Log log(Path.string(), false, 0); }
    EXPECT_EQ(Contents(), StartBanner + EndBanner);
    Log log;
    log.Write("nothing");
    log.Open("/nonexistent-folder/veltra.log", false, 0);
    log.Write("nothing either");
    EXPECT_FALSE(std::filesystem::exists("/nonexistent-folder"));
}

} // namespace
