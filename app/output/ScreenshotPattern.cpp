#include "app/output/ScreenshotPattern.h"

#include <cctype>

namespace {

bool EndsWithPng(const std::string& text) {
    if (text.size() < 4)
        return false;
    std::string end = text.substr(text.size() - 4);
    for (char& c : end)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".png";
}

} // namespace

std::optional<ScreenshotPattern> ScreenshotPattern::Parse(const std::string& text, std::string* error) {
    auto fail = [error](const std::string& reason) -> std::optional<ScreenshotPattern> {
        if (error != nullptr)
            *error = reason;
        return std::nullopt;
    };
    if (!EndsWithPng(text))
        return fail("screenshots are PNG files: the name must end in .png");

    ScreenshotPattern pattern;
    pattern.Original = text;
    std::string* part = &pattern.Prefix;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            part->push_back(text[i]);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            part->push_back('%');
            ++i;
            continue;
        }
        std::size_t at = i + 1;
        bool zeroPad = false;
        if (at < text.size() && text[at] == '0') {
            zeroPad = true;
            ++at;
        }
        int width = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && width < 100)
            width = width * 10 + (text[at++] - '0');
        if (at >= text.size() || text[at] != 'd' || width > 9)
            return fail(
                "in a screenshot name use %d or %04d for the frame number (width up to 9) and %% for %");
        if (pattern.HasNumber)
            return fail("a screenshot name holds at most one frame number");
        pattern.HasNumber = true;
        pattern.ZeroPad = zeroPad;
        pattern.Width = width;
        part = &pattern.Suffix;
        i = at;
    }
    return pattern;
}

std::string ScreenshotPattern::PathFor(int frame) const {
    if (!HasNumber)
        return Prefix;
    std::string number = std::to_string(frame);
    if (static_cast<int>(number.size()) < Width)
        number.insert(0, static_cast<std::size_t>(Width) - number.size(), ZeroPad ? '0' : ' ');
    return Prefix + number + Suffix;
}

bool ScreenshotPattern::Wanted(bool numbered, int every, int frame, int lastFrame) {
    if (frame == lastFrame || !numbered)
        return true;
    return frame == 1 || (every > 0 && frame % every == 0);
}
