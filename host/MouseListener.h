#pragma once

#include <cstdint>

// Every operation has a do-nothing default, so a listener overrides only what it wants.
class MouseListener {
public:
    virtual ~MouseListener() = default;
    virtual bool OnMouseMove(std::int32_t /*x*/, std::int32_t /*y*/) { return true; }
    virtual bool OnMouseButtonDown(std::int32_t /*button*/, std::int32_t /*x*/, std::int32_t /*y*/) {
        return true;
    }
    virtual bool OnMouseButtonUp(std::int32_t /*button*/, std::int32_t /*x*/, std::int32_t /*y*/) {
        return true;
    }
};
