#pragma once
// The system's window and offscreen context, under the names the host program uses: an SDL2
// window and an EGL context elsewhere, a USER32 window and WGL contexts on Windows. Both windows
// have the same operations (Create, Attach, UsableArea, Position, SetVsync).

#ifdef _WIN32
#include "app/win32/Win32OffscreenContext.h"
#include "app/win32/Win32Window.h"
using HostWindow = Win32Window;
using OffscreenContext = Win32OffscreenContext;
#else
#include "app/gl/EglHeadlessContext.h"
#include "app/sdl/SdlWindow.h"
using HostWindow = SdlWindow;
using OffscreenContext = EglHeadlessContext;
#endif
