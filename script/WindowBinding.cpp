#include "host/Window.h"
#include "script/ScriptBindings.h"
#include "script/ScriptClass.h"

namespace {
void BindWindowMembers() {
    ScriptClass<Window> binder("Window");
    ScriptClass<Window>::AddMethod(&Window::MoveWindow, "MoveWindow");
    ScriptClass<Window>::AddMethod(&Window::PlaceWindow, "PlaceWindow");
    ScriptClass<Window>::AddMethod(&Window::ResizeWindow, "ResizeWindow");
    ScriptClass<Window>::AddMethod(&Window::ShowWindow, "ShowWindow");
    ScriptClass<Window>::AddMethod(&Window::HideWindow, "HideWindow");
}

int RegisterWindow(lua_State* L) {
    auto* window = static_cast<Window*>(lua_touserdata(L, 1));
    ScriptClass<Window>::Register(L);
    ScriptClass<Window>::BindInstance(L, window, "window");
    return 0;
}
} // namespace

bool BindWindowClass(lua_State* L, Window& window) {
    static const bool membersBound = (BindWindowMembers(), true);
    (void)membersBound;
    return ScriptVM::Call(L, &RegisterWindow, &window);
}
