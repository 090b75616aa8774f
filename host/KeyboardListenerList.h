#pragma once

#include "host/KeyboardListener.h"
#include "host/ListenerList.h"

class KeyboardListenerList : public ListenerList<KeyboardListener> {
public:
    bool OnKeyUp(std::uint32_t key) {
        return Broadcast([key](KeyboardListener* listener) { listener->OnKeyUp(key); });
    }
    bool OnKeyDown(std::uint32_t key) {
        return Broadcast([key](KeyboardListener* listener) { listener->OnKeyDown(key); });
    }
};
