#include "host/Window.h"
#include "script/ScriptBinding.h"
#include "script/ScriptBindings.h"

namespace {
void BindWindowMembers() {
    ScriptClass<Window> binder("Window");
    ScriptClass<Window>::AddMethod(&Window::MoveWindow, "MoveWindow");
    ScriptClass<Window>::AddMethod(&Window::PlaceWindow, "PlaceWindow");
    ScriptClass<Window>::AddMethod(&Window::ResizeWindow, "ResizeWindow");
    ScriptClass<Window>::AddMethod(&Window::ShowWindow, "ShowWindow");
    ScriptClass<Window>::AddMethod(&Window::HideWindow, "HideWindow");
}
} // namespace

bool BindWindowClass(lua_State* L, Window& window) {
    return BindClassInstance(L, window, "window", &BindWindowMembers);
}
