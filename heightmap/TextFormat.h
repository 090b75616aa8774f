#pragma once

#include <string>

// printf-style text for log notes; cut at 511 characters.
std::string TextFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
