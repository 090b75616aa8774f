#pragma once
// On Windows the module and the host call the system itself: USER32 for messages and windows,
// KERNEL32 for the local time and the module path, WINMM for the millisecond clock.
// Included through platform/Platform.h only.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <mmsystem.h>

// The platform library is linked statically into each program and module on Windows: the system
// holds the window table and the message queues, so there is no shared state of ours to keep once.
#define VELTRA_PLATFORM_API
