# Compiler settings shared by every target: add them with veltra_target_defaults(target).
add_library(veltra_options INTERFACE)
target_compile_options(veltra_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wcast-align -Wformat=2 -Wundef
    # Floating-point results must not depend on the compiler's choice of fused operations.
    -ffp-contract=off
    # No STB_GNU_UNIQUE symbols: one would make the engine module impossible to unload, so a
    # host that loads it again would find the old module-level state.
    $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
if(VELTRA_WARNINGS_AS_ERRORS)
    target_compile_options(veltra_options INTERFACE -Werror)
endif()
if(VELTRA_SANITIZE)
    # vptr checks are off: the module and the host each carry their own copy of the
    # interfaces' type information (hidden visibility), which that check would flag.
    set(VELTRA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize=vptr
        -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(veltra_options INTERFACE ${VELTRA_SANITIZER_FLAGS})
    target_link_options(veltra_options INTERFACE ${VELTRA_SANITIZER_FLAGS})
endif()
if(VELTRA_THREAD_SANITIZER)
    set(VELTRA_TSAN_FLAGS -fsanitize=thread -fno-omit-frame-pointer)
    target_compile_options(veltra_options INTERFACE ${VELTRA_TSAN_FLAGS})
    target_link_options(veltra_options INTERFACE ${VELTRA_TSAN_FLAGS})
endif()

if(VELTRA_FUZZ)
    # Coverage for libFuzzer in every library; the fuzzers add libFuzzer itself when they link.
    target_compile_options(veltra_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
        -fno-sanitize=vptr -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(veltra_options INTERFACE -fsanitize=address,undefined)
endif()

function(veltra_target_defaults target)
    target_link_libraries(${target} PRIVATE veltra_options)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()
