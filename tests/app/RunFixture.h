#pragma once
// A scratch folder to run the built veltra program in, and to read what it wrote.

#include "app/image/PngFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

using ::testing::HasSubstr;

struct RunResult {
    int ExitCode; // 137 when killed after four minutes
    std::string Out, Err;
};

class RunFixture : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(Folder); }
    void TearDown() override { std::filesystem::remove_all(Folder); }

    // The program in the scratch folder without a display; `before` comes between the emptied
    // environment and the program: variables to set, or a wrapper such as xvfb-run.
    RunResult Veltra(const std::vector<std::string>& args, const std::string& before = "",
                     const std::string& program = VELTRA_EXECUTABLE) const {
        std::string command = "cd " + Folder.string() + " && env -u DISPLAY -u WAYLAND_DISPLAY " + before +
                              " timeout -s KILL 240 " + program;
        for (const std::string& arg : args)
            command += " '" + arg + "'"; // no argument here holds a quote
        const int status = std::system((command + " >.stdout 2>.stderr").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Text(".stdout"), Text(".stderr")};
    }
    std::string Text(const std::string& name) const {
        std::stringstream text;
        text << std::ifstream(Folder / name).rdbuf();
        return text.str();
    }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Folder / name) << text;
    }
    std::optional<Image> Png(const std::string& name) const { return png::Read(Folder / name); }

    const std::filesystem::path Folder =
        std::filesystem::temp_directory_path() / ("veltra-run-" + std::to_string(std::random_device()()));
};
