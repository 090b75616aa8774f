#pragma once
// A scratch folder to run the built veltra program in, and to read what it wrote.

#include "app/image/Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct ProcessResult {
    int ExitCode = -1; // -1 when it was killed (after four minutes) or did not start
    std::string Out;
    std::string Err;
};

class RunFixture : public ::testing::Test {
protected:
    enum class Display {
        None,        // DISPLAY and WAYLAND_DISPLAY unset: offscreen
        Unreachable, // DISPLAY names a display with no server behind it
        Xvfb,        // a private virtual X server, for as long as the run lasts
    };

    void SetUp() override;
    void TearDown() override;

    // The program (by default the built veltra) with the given arguments, in the scratch folder.
    ProcessResult Veltra(std::vector<std::string> args, Display display = Display::None,
                         const std::string& program = VELTRA_EXECUTABLE) const;
    std::string ReadText(const std::string& name) const;
    void WriteText(const std::string& name, const std::string& text) const;
    std::optional<Image> ReadPng(const std::string& name) const;
    static bool Has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }

    std::filesystem::path Folder;
};
