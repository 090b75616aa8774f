// Linked into the sanitizer builds of the host and its test programs only.
//
// Mesa's drivers, GLX, D-Bus and the X and SDL libraries keep some allocations until the process
// ends; those are theirs, not leaks of ours. LeakSanitizer can only tell them apart while the
// libraries are still loaded, so here unloading a library is a no-op: the system would unload them
// at exit anyway.

#define VELTRA_SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used))

VELTRA_SANITIZER_HOOK const char* __lsan_default_suppressions() {
    return "leak:libEGL_mesa.so\n"
           "leak:libGLX_mesa.so\n"
           "leak:_dri.so\n"
           "leak:libLLVM\n"
           "leak:libX11.so\n"
           "leak:libdbus-1.so\n"
           "leak:libSDL2\n";
}

VELTRA_SANITIZER_HOOK int dlclose(void* /*handle*/) {
    return 0;
}
