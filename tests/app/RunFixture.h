#pragma once
// A scratch folder to run the built veltra program in, offscreen, and to read what it wrote.

#include "ProcessRunner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class RunFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // veltra with the given arguments, in the scratch folder, with no display.
    ProcessResult Veltra(std::vector<std::string> args) const;
    std::string ReadText(const std::string& name) const;
    void WriteText(const std::string& name, const std::string& text) const;

    std::filesystem::path Folder;
};
