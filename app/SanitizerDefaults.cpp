// Under AddressSanitizer: Mesa's EGL and GLX, its drivers and the X and SDL libraries keep some
// allocations until the process ends. Those are theirs, not leaks of ours, and they can only be
// told apart with full stacks (the libraries have no frame pointers), hence the slow unwinding.

#define VELTRA_SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used))

VELTRA_SANITIZER_HOOK const char* __lsan_default_suppressions() {
    return "leak:libEGL_mesa.so\n"
           "leak:libGLX_mesa.so\n"
           "leak:_dri.so\n"
           "leak:libLLVM\n"
           "leak:libX11.so\n"
           "leak:libSDL2\n";
}

VELTRA_SANITIZER_HOOK const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
