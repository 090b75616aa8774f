#pragma once
// Configuration scripts written to break the engine: bad values for every property, the globals
// deleted or replaced, methods called every wrong way, errors midway, scripts that never end or
// want too much. Whatever they do, Init must build a sane scene from what they left.

#include <ostream>
#include <string>
#include <vector>

enum class Relief { Any, Flat, Hilly };

struct HostileScript {
    const char* Name;
    std::string Source;
    int Columns; // the grid the scene must have
    int Rows;
    Relief Ground = Relief::Any;
    const char* Error = nullptr;  // part of standard error; null: standard error stays empty
    const char* Output = nullptr; // part of standard output, when given
    const char* Logged = nullptr; // part of a log line, when given
};

const std::vector<HostileScript>& HostileScriptCatalogue();

inline void PrintTo(const HostileScript& script, std::ostream* out) {
    *out << script.Name;
}
