#pragma once
// Everything a host program needs to load and drive the engine module.
//
// The C++ ABI: the interfaces below are shared by their virtual tables, laid out by the Itanium C++
// ABI (GCC on Linux, MinGW-w64 GCC on Windows), where a virtual destructor takes two table entries:
// Init, Release and Frame are entries 2, 3 and 4. A host built by MinGW-w64 GCC or by Clang for the
// GNU target works with the Windows DLL; one built by MSVC lays the tables out otherwise and does not.

#include "host/DllInterface.h"
#include "host/EngineInterface.h"
#include "host/IndexBuffer.h"
#include "host/Kernel.h"
#include "host/KeyboardListener.h"
#include "host/KeyboardListenerList.h"
#include "host/MouseListener.h"
#include "host/MouseListenerList.h"
#include "host/Renderer.h"
#include "host/VertexBuffer.h"
#include "host/Window.h"
#include "log/Log.h"
#include "platform/Platform.h"

// Signatures of the two functions the module exports, for dlsym.
using CreateDllInterfaceFunction = bool (*)(DllInterface** slot);
using DestroyDllInterfaceFunction = void (*)(DllInterface** slot);
inline constexpr const char* CreateDllInterfaceName = "CreateDllInterface";
inline constexpr const char* DestroyDllInterfaceName = "DestroyDllInterface";
