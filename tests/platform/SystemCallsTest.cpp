// The clock and the program's path as the platform layer gives them: the calendar's fields, and a
// path cut to the caller's buffer, still terminated, with the size given back as the sign of the cut.

#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

TEST(SystemCallsTest, LocalTimeIsTheCalendarsAndAPathTooLongIsCutAndTerminated) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::time_t seconds = std::time(nullptr);
    const std::tm local = *std::localtime(&seconds);
    EXPECT_EQ(std::vector<int>(
                  {now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMilliseconds / 1000}),
              std::vector<int>(
                  {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_wday, local.tm_hour, 0}));
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    char path[4096], untouched[] = "x";
    const DWORD cut =
        GetModuleFileNameA(nullptr, path, static_cast<DWORD>(exe.size())); // no room for the end
    EXPECT_EQ(std::tuple(cut, std::string(path)),
              std::tuple(static_cast<DWORD>(exe.size()), exe.substr(0, exe.size() - 1)));
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(&now), untouched, 2) +
                  GetModuleFileNameA(nullptr, untouched, 0),
              0u);
    EXPECT_STREQ(untouched, "x") << "another module's path, or none for no room";
}
