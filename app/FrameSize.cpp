#include "app/FrameSize.h"

#include <algorithm>
#include <charconv>

namespace {

std::optional<int> ParseSide(const std::string& text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<FrameSize> FrameSize::Parse(const std::string& text, std::string* error) {
    const std::size_t cross = text.find_first_of("xX");
    const std::optional<int> w = cross == std::string::npos ? std::nullopt : ParseSide(text.substr(0, cross));
    const std::optional<int> h =
        cross == std::string::npos ? std::nullopt : ParseSide(text.substr(cross + 1));
    if (!w || !h) {
        *error = "expected WIDTHxHEIGHT such as 640x480, not '" + text + "'";
        return std::nullopt;
    }
    if (*w < 1 || *h < 1 || *w > MaxSide || *h > MaxSide) {
        *error = "each side must lie between 1 and " + std::to_string(MaxSide) + ", not '" + text + "'";
        return std::nullopt;
    }
    return FrameSize{*w, *h};
}

FrameSize FrameSize::Bounded(std::int64_t width, std::int64_t height, std::string* note) {
    // No side to bring into range: as if no size had been asked for.
    if (width < 1 || height < 1) {
        *note = std::to_string(width) + "x" + std::to_string(height) + " is not a positive size; using " +
                FrameSize{}.Text();
        return FrameSize{};
    }
    const FrameSize bounded{static_cast<int>(std::clamp<std::int64_t>(width, 1, MaxSide)),
                            static_cast<int>(std::clamp<std::int64_t>(height, 1, MaxSide))};
    note->clear();
    if (bounded.Width != width || bounded.Height != height)
        *note = std::to_string(width) + "x" + std::to_string(height) + " is outside 1x1 to " +
                std::to_string(MaxSide) + "x" + std::to_string(MaxSide) + "; using " + bounded.Text();
    return bounded;
}
