#pragma once

#include "host/ListenerList.h"
#include "host/MouseListener.h"

class MouseListenerList : public ListenerList<MouseListener> {
public:
    bool OnMouseMove(std::int32_t x, std::int32_t y) {
        return Broadcast([x, y](MouseListener* listener) { listener->OnMouseMove(x, y); });
    }
};
