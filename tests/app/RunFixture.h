#pragma once
// A scratch folder to run the built veltra program in, and to read what it wrote.

#include "ProcessRunner.h"

#include "app/image/Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class RunFixture : public ::testing::Test {
protected:
    enum class Display {
        None,        // DISPLAY and WAYLAND_DISPLAY unset: offscreen
        Unreachable, // DISPLAY names a display with no server behind it
        Xvfb,        // a private virtual X server, for as long as the run lasts
    };

    void SetUp() override;
    void TearDown() override;

    // veltra with the given arguments, in the scratch folder.
    ProcessResult Veltra(std::vector<std::string> args, Display display = Display::None) const;
    std::string ReadText(const std::string& name) const;
    void WriteText(const std::string& name, const std::string& text) const;
    std::optional<Image> ReadPng(const std::string& name) const;
    static bool Has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }

    std::filesystem::path Folder;
};
