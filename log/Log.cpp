#include "log/Log.h"

#include "platform/Platform.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr int BufferSize = 256;
constexpr const char* StartBanner = "=============== Log Start ===============\n";
constexpr const char* EndBanner = "================ Log End ================\n";

std::string ReadModuleName() {
    char path[1024] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return path;
}

} // namespace

Log::Log() : ModuleName(ReadModuleName()) {}

Log::Log(const std::string& fileName, bool appendMode, std::int32_t hostValue) {
    Start(fileName, appendMode, hostValue);
}

Log::~Log() {
    WriteRaw("a", EndBanner);
}

void Log::Open(const std::string& fileName, bool appendMode, std::int32_t hostValue) {
    if (Start(fileName, appendMode, hostValue))
        WriteRaw("a", "MODULE : " + ModuleName + "\n");
}

bool Log::Start(const std::string& fileName, bool appendMode, std::int32_t hostValue) {
    HostValue = hostValue;
    FileName = fileName;
    AppendMode = appendMode;
    ModuleName = ReadModuleName();
    return WriteRaw(AppendMode ? "a" : "w", StartBanner);
}

bool Log::WriteRaw(const char* mode, const std::string& text) const {
    if (FileName.empty())
        return false;
    std::FILE* file = std::fopen(FileName.c_str(), mode);
    if (file == nullptr)
        return false;
    std::fputs(text.c_str(), file);
    std::fclose(file);
    return true;
}

void Log::Write(const char* format, ...) {
    char message[BufferSize] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);

    SYSTEMTIME now;
    GetLocalTime(&now);

    char line[BufferSize] = {};
    int length = std::snprintf(line, sizeof(line), "%02d:%02d:%02d:%03d \t%s\n", now.wHour, now.wMinute,
                               now.wSecond, now.wMilliseconds, message);
    // A cut line still ends with its newline, so the next line starts on its own.
    if (length >= BufferSize)
        line[BufferSize - 2] = '\n';
    WriteRaw("a", line);
}
