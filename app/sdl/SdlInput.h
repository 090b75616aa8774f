#pragma once
// Feeds SDL's events into the platform's message queue whenever the queue is polled: key and
// close messages in order, mouse movement only as its latest position, and only when nothing else
// waits, so that a moving mouse never delays a key by a frame per message.

#include "platform/Platform.h"

class SdlInput final : public veltra::platform::InputSource {
public:
    explicit SdlInput(HWND target) : Target(target) {}
    void Poll() override;

private:
    HWND Target;
    bool CloseSent = false; // closing the window gives both a window event and a quit event
};
