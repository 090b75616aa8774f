#pragma once
// Runs a program to its end (or kills it after a time limit) and collects what it printed.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct ProcessResult {
    int ExitCode = -1; // -1 when it was killed or did not start
    std::string Out;
    std::string Err;
};

struct ProcessOptions {
    std::filesystem::path WorkDir;                                 // empty: the current one
    std::map<std::string, std::optional<std::string>> Environment; // nullopt removes the variable
    int TimeoutSeconds = 240;
};

ProcessResult RunProcess(const std::vector<std::string>& args, const ProcessOptions& options = {});
