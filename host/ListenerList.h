#pragma once
// Shared body of the keyboard and mouse lists: listeners in registration order, duplicates
// allowed, not owned.

#include <algorithm>
#include <cstdint>
#include <vector>

template <typename Listener>
class ListenerList {
public:
    std::uint32_t HostTag = 0; // free for the host's own use
    std::vector<Listener*> Listeners;

    bool Add(Listener* listener) {
        Listeners.push_back(listener);
        return true;
    }

    // Takes out every registration of the listener; true when there was one.
    bool Remove(Listener* listener) {
        auto removed = std::erase(Listeners, listener);
        return removed > 0;
    }

protected:
    // The length is read again before every call, so listeners added during the broadcast are
    // called in it too.
    template <typename Call>
    bool Broadcast(Call call) {
        for (std::size_t i = 0; i < Listeners.size(); ++i)
            call(Listeners[i]);
        return true;
    }
};
