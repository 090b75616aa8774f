#include "RunFixture.h"

#include "app/image/PngFile.h"

#include <unistd.h>

#include <fstream>
#include <random>
#include <sstream>

namespace {

constexpr const char* XvfbRun = "/usr/bin/xvfb-run";

} // namespace

void RunFixture::SetUp() {
    std::random_device random;
    Folder = std::filesystem::temp_directory_path() / ("veltra-run-" + std::to_string(random()));
    std::filesystem::create_directories(Folder);
}

void RunFixture::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
}

ProcessResult RunFixture::Veltra(std::vector<std::string> args, Display display) const {
    args.insert(args.begin(), VELTRA_EXECUTABLE);
    ProcessOptions options;
    options.WorkDir = Folder;
    options.Environment["DISPLAY"] = std::nullopt;
    options.Environment["WAYLAND_DISPLAY"] = std::nullopt;
    if (display == Display::Unreachable)
        options.Environment["DISPLAY"] = ":6093"; // no server listens there
    if (display == Display::Xvfb) {
        if (access(XvfbRun, X_OK) != 0)
            ADD_FAILURE() << XvfbRun << " is not installed (scripts/deps installs it)";
        args.insert(args.begin(), {XvfbRun, "-a", "-s", "-screen 0 1024x768x24 -nolisten tcp"});
    }
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

std::optional<Image> RunFixture::ReadPng(const std::string& name) const {
    return png::Read(Folder / name);
}
