#pragma once
// The size of the frames a run draws, in a window or offscreen, by one rule: --size when given,
// otherwise the size the configuration script asked for with ResizeWindow, otherwise 640x480.
// A side outside 1..MaxSide is brought into that range: a frame of 16384 x 16384 already takes a
// gigabyte a buffer, and a window of 0 x 0 cannot be drawn into.

#include <cstdint>
#include <optional>
#include <string>

struct FrameSize {
    static constexpr int MaxSide = 8192;
    static constexpr int DefaultWidth = 640;
    static constexpr int DefaultHeight = 480;

    int Width = DefaultWidth;
    int Height = DefaultHeight;

    // "640x480" (or "640X480"), each side 1..MaxSide, or the reason it is not one.
    static std::optional<FrameSize> Parse(const std::string& text, std::string* error);
    // The sides brought into range, or the default when a side is not positive; *note says what
    // was changed and is left empty when nothing was.
    static FrameSize Bounded(std::int64_t width, std::int64_t height, std::string* note);

    bool operator==(const FrameSize&) const = default;
    std::string Text() const { return std::to_string(Width) + "x" + std::to_string(Height); }
};
