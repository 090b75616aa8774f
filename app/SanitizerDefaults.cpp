// Under LeakSanitizer: Mesa's drivers, GLX and the X and SDL libraries keep some allocations until
// the process ends. Those are theirs, not leaks of ours.

extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libEGL_mesa.so\n"
           "leak:libGLX_mesa.so\n"
           "leak:_dri.so\n"
           "leak:libLLVM\n"
           "leak:libX11.so\n"
           "leak:libSDL2\n";
}
