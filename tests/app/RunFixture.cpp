#include "RunFixture.h"

#include "app/image/PngFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

namespace {

constexpr const char* XvfbRun = "/usr/bin/xvfb-run";
constexpr auto TimeLimit = std::chrono::minutes(4);

} // namespace

void RunFixture::SetUp() {
    std::random_device random;
    Folder = std::filesystem::temp_directory_path() / ("veltra-run-" + std::to_string(random()));
    std::filesystem::create_directories(Folder / ".out");
}

void RunFixture::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
}

ProcessResult RunFixture::Veltra(std::vector<std::string> args, Display display,
                                 const std::string& program) const {
    args.insert(args.begin(), program);
    if (display == Display::Xvfb) {
        if (access(XvfbRun, X_OK) != 0)
            ADD_FAILURE() << XvfbRun << " is not installed (scripts/deps installs it)";
        args.insert(args.begin(), {XvfbRun, "-a", "-s", "-screen 0 1024x768x24 -nolisten tcp"});
    }
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::filesystem::path out = Folder / ".out" / "stdout", err = Folder / ".out" / "stderr";

    const pid_t child = fork();
    if (child == 0) {
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
        unsetenv("WAYLAND_DISPLAY");
        if (display == Display::Unreachable)
            setenv("DISPLAY", ":6093", 1); // no server listens there
        else
            unsetenv("DISPLAY");
        if (chdir(Folder.c_str()) == 0)
            execv(argv[0], argv.data());
        _exit(127);
    }
    ProcessResult result;
    const auto deadline = std::chrono::steady_clock::now() + TimeLimit;
    int status = 0;
    while (child > 0 && waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (child > 0 && WIFEXITED(status))
        result.ExitCode = WEXITSTATUS(status);
    result.Out = ReadText(".out/stdout");
    result.Err = ReadText(".out/stderr");
    return result;
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
