#include "script/ScriptMessages.h"

#include <cstdio>

void script_messages::Print(const char* message) {
    std::fputs(message, stdout);
}
