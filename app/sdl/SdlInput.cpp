#include "app/sdl/SdlInput.h"

#include "app/sdl/SdlKeys.h"

void SdlInput::Poll() {
    std::optional<WindowMessage> latestMove;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        const std::optional<WindowMessage> message = TranslateSdlEvent(event);
        if (!message)
            continue;
        if (message->Message == WM_MOUSEMOVE) {
            latestMove = message;
            continue;
        }
        if (message->Message == WM_CLOSE) {
            if (CloseSent)
                continue;
            CloseSent = true;
        }
        PostMessageA(Target, message->Message, message->WParam, message->LParam);
    }
    if (latestMove && veltra::platform::PendingMessageCount() == 0)
        PostMessageA(Target, latestMove->Message, latestMove->WParam, latestMove->LParam);
}
