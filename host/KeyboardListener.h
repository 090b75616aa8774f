#pragma once

#include <cstdint>

class KeyboardListener {
public:
    virtual ~KeyboardListener() = default;
    virtual bool OnKeyUp(std::uint32_t key) = 0;
    virtual bool OnKeyDown(std::uint32_t key) = 0;
};
