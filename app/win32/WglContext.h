#pragma once
// An OpenGL 3.3 core context on a window's device context, through WGL.

#include "platform/Platform.h"

#include <string>

// Gives the device context a pixel format with a depth buffer, then makes a 3.3 core context
// current on it; null with the reason.
HGLRC CreateCoreContext(HDC deviceContext, std::string* error);
// The renderer's name and version, for the log.
std::string DescribeContext();
