#include "log/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

class LogTest : public testing::Test {
protected:
    std::filesystem::path Path =
        std::filesystem::temp_directory_path() /
        ("veltra-log-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log");
    void TearDown() override { std::filesystem::remove(Path); }
    std::string Contents() const {
        std::ifstream file(Path);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

const std::string StartBanner = "=============== Log Start ===============\n";
const std::string EndBanner = "================ Log End ================\n";

TEST_F(LogTest, OpenWritesBannersAndTimeStampedLinesEachCompleteOnDisk) {
    {
        Log log;
        log.Open(Path.string(), false, 42);
        EXPECT_EQ(log.HostValue, 42);
        log.Write("-> Open VM : %s", "OK");
        // Already on disk before the log goes away.
        std::string text = Contents();
        std::regex expected(StartBanner +
                            "MODULE : /.+\n[0-2][0-9]:[0-5][0-9]:[0-5][0-9]:[0-9]{3} \t-> Open VM : OK\n");
        EXPECT_TRUE(std::regex_match(text, expected)) << text;
    }
    EXPECT_TRUE(Contents().ends_with("-> Open VM : OK\n" + EndBanner));
}

TEST_F(LogTest, AppendKeepsOldContentsTruncateStartsAfresh) {
    std::ofstream(Path) << "old line\n";
    { Log log(Path.string(), true, 0); }
    EXPECT_EQ(Contents(), "old line\n" + StartBanner + EndBanner);
    { Log log(Path.string(), false, 0); }
    EXPECT_EQ(Contents(), StartBanner + EndBanner);
}

TEST_F(LogTest, DefaultLogAndUnopenableFileWriteNothingAndDoNotFail) {
    {
        Log log;
        EXPECT_TRUE(log.FileName.empty());
        EXPECT_FALSE(log.ModuleName.empty());
        log.Write("nothing");
    }
    Log log;
    log.Open("/nonexistent-folder/veltra.log", false, 0);
    log.Write("nothing either");
    EXPECT_FALSE(std::filesystem::exists("/nonexistent-folder/veltra.log"));
}

TEST_F(LogTest, LongMessagesAreCutAndTheLineStillEnds) {
    {
        Log log(Path.string(), false, 0);
        log.Write("%s", std::string(1000, 'x').c_str());
        log.Write("next");
    }
    std::istringstream lines(Contents());
    std::string banner, longLine, next;
    std::getline(lines, banner);
    std::getline(lines, longLine);
    std::getline(lines, next);
    EXPECT_EQ(longLine.size(), 254u); // 255 characters with the newline
    EXPECT_TRUE(next.ends_with(" \tnext"));
}

} // namespace
