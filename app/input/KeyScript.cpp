#include "app/input/KeyScript.h"

#include "app/input/VirtualKeys.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::optional<int> ParseFrame(std::string_view text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > KeyScript::MaxFrame)
        return std::nullopt;
    return value;
}

bool Lower(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != lowerCase[i])
            return false;
    return true;
}

} // namespace

std::optional<KeyScript> KeyScript::Parse(std::string_view text, std::string* error) {
    KeyScript script;
    auto fail = [error](std::string_view event, const std::string& reason) -> std::optional<KeyScript> {
        if (error != nullptr)
            *error = "key event '" + std::string(event) + "': " + reason;
        return std::nullopt;
    };
    while (!Trim(text).empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view event = Trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (event.empty())
            continue; // "1:up:T,,2:up:T" and a trailing comma are harmless

        const std::size_t first = event.find(':');
        const std::size_t second = first == std::string_view::npos ? first : event.find(':', first + 1);
        if (second == std::string_view::npos)
            return fail(event, "expected FRAMES:ACTION:KEY");
        const std::string_view frames = Trim(event.substr(0, first));
        const std::string_view action = Trim(event.substr(first + 1, second - first - 1));
        const std::string_view keyName = Trim(event.substr(second + 1));

        KeyScriptEvent scheduled;
        const std::size_t dash = frames.find('-');
        const std::optional<int> from = ParseFrame(Trim(frames.substr(0, dash)));
        const std::optional<int> to =
            dash == std::string_view::npos ? from : ParseFrame(Trim(frames.substr(dash + 1)));
        if (!from || !to)
            return fail(event,
                        "frames must be a number from 1 to " + std::to_string(MaxFrame) + " or a range A-B");
        if (*to < *from)
            return fail(event, "the range ends before it starts");
        scheduled.FirstFrame = *from;
        scheduled.LastFrame = *to;

        const std::optional<UINT> key = vkey::FromName(keyName);
        if (!key)
            return fail(event, "unknown key '" + std::string(keyName) + "'");
        scheduled.Key = *key;

        if (Lower(action, "down") || Lower(action, "press")) {
            scheduled.Message = WM_KEYDOWN;
            script.Scheduled.push_back(scheduled);
        }
        if (Lower(action, "up") || Lower(action, "press")) {
            scheduled.Message = WM_KEYUP;
            script.Scheduled.push_back(scheduled);
        }
        if (!Lower(action, "down") && !Lower(action, "up") && !Lower(action, "press"))
            return fail(event, "the action must be down, up or press");
    }
    return script;
}

std::vector<KeyScriptEvent> KeyScript::EventsAt(int frame) const {
    std::vector<KeyScriptEvent> due;
    for (const KeyScriptEvent& event : Scheduled)
        if (frame >= event.FirstFrame && frame <= event.LastFrame)
            due.push_back(event);
    return due;
}

int KeyScript::PostDue(int frame, HWND window) const {
    int posted = 0;
    for (const KeyScriptEvent& event : EventsAt(frame)) {
        const std::optional<UINT> message = vkey::MessageFor(event.Key, event.Message == WM_KEYDOWN);
        if (message)
            posted += PostMessageA(window, *message, *message == WM_CLOSE ? 0 : event.Key, 0) ? 1 : 0;
    }
    return posted;
}

std::int64_t KeyScript::MessagesAfter(int frame) const {
    std::int64_t count = 0;
    for (const KeyScriptEvent& event : Scheduled)
        if (event.LastFrame > frame && vkey::MessageFor(event.Key, event.Message == WM_KEYDOWN))
            count += event.LastFrame - std::max(event.FirstFrame, frame + 1) + 1;
    return count;
}

std::string KeyScript::SyntaxHelp() {
    return "Key scripts: comma-separated FRAMES:ACTION:KEY events. FRAMES is a frame number (the first frame "
           "is 1)\n"
           "or a range A-B, repeated on each frame of it like a held key; ACTION is down, up or press (down "
           "then\n"
           "up). Keys: " +
           vkey::KnownNames() +
           ".\n"
           "Each window message reaches the engine on its own frame, so events due together arrive on "
           "successive\n"
           "frames. Example: --keys \"1:up:T,2:down:Up,120:up:Up,60-64:down:Left\" leaves the top view, "
           "flies\n"
           "forward from frame 2 to 120 and turns left on frames 60 to 64.";
}
