#pragma once
// Everything a host program needs to load and drive the engine module.

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
