#pragma once

#include <cstdint>
#include <string>

// Time-stamped progress lines in a text file. The file is opened, written and closed for every
// line and banner, so it is complete on disk after each call; a file that cannot be opened makes
// the call write nothing.
class Log {
public:
    std::string FileName;       // empty for a default-constructed log, which writes nothing
    std::string ModuleName;     // full path of the executable
    bool AppendMode = false;    // true keeps an existing file, false starts it afresh
    std::int32_t HostValue = 0; // stored for the owner, never read here

    Log();
    // Opens the file (appending or emptying it) and writes the start banner.
    Log(const std::string& fileName, bool appendMode, std::int32_t hostValue);
    // Writes the end banner.
    ~Log();
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    // Like the constructor, then also the module line.
    void Open(const std::string& fileName, bool appendMode, std::int32_t hostValue);

    // One line: "HH:MM:SS:mmm \t<message>\n". Messages are cut to fit the line's 256 characters.
    void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    bool Start(const std::string& fileName, bool appendMode, std::int32_t hostValue);
    bool WriteRaw(const char* mode, const std::string& text) const;
};
