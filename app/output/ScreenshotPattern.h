#pragma once
// The name of the PNG files a run writes. A name with a number field (%d, or %04d for a padded
// one) makes a sequence, one file per chosen frame; "%%" stands for a percent sign. The name is
// never handed to printf, so no other % sequence has any meaning; it is refused instead.

#include <optional>
#include <string>

class ScreenshotPattern {
public:
    static std::optional<ScreenshotPattern> Parse(const std::string& text, std::string* error);

    // True when the name holds a frame number.
    bool Numbered() const { return HasNumber; }
    // The name as given.
    const std::string& Text() const { return Original; }
    // The file name for a frame.
    std::string PathFor(int frame) const;

    // Frames to capture: with a number field frame 1, every `every`th frame and the last one;
    // without, only the last, which is known only afterwards (Escape, a closed window or a
    // script may end a run before lastFrame), so every frame is captured and the last capture is
    // the one written.
    static bool Wanted(bool numbered, int every, int frame, int lastFrame);

private:
    std::string Original;
    std::string Prefix;
    std::string Suffix;
    bool HasNumber = false;
    bool ZeroPad = false;
    int Width = 0;
};
