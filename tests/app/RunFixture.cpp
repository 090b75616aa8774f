#include "RunFixture.h"

#include <fstream>
#include <random>
#include <sstream>

void RunFixture::SetUp() {
    std::random_device random;
    Folder = std::filesystem::temp_directory_path() / ("veltra-run-" + std::to_string(random()));
    std::filesystem::create_directories(Folder);
}

void RunFixture::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
}

ProcessResult RunFixture::Veltra(std::vector<std::string> args) const {
    args.insert(args.begin(), VELTRA_EXECUTABLE);
    ProcessOptions options;
    options.WorkDir = Folder;
    options.Environment["DISPLAY"] = std::nullopt;
    options.Environment["WAYLAND_DISPLAY"] = std::nullopt;
    return RunProcess(args, options);
}

std::string RunFixture::ReadText(const std::string& name) const {
    std::ifstream file(Folder / name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void RunFixture::WriteText(const std::string& name, const std::string& text) const {
    std::ofstream(Folder / name) << text;
}
