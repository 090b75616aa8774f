# Shared by scripts/test and scripts/fuzz: builds the fuzz preset and runs one fuzzer.
# Sourced, not run; expects the working directory to be the repository root.

FUZZERS=(script_fuzzer bmp_fuzzer elevation_fuzzer module_fuzzer)

build_fuzzers() {
    scripts/deps --fuzz
    cmake --preset fuzz
    cmake --build --preset fuzz --parallel "$(nproc)"
}

# run_fuzzer NAME CORPUS_DIR [libFuzzer options...]: new inputs go to CORPUS_DIR, the committed
# seeds are read beside it, and so is fuzz/NAME.dict when there is one; crashes are written to
# build/fuzz/artifacts. The fuzzers run in a scratch folder, where the engine finds no
# configuration script of its own, with no input on standard input (a script's dofile() reads it)
# and their own output closed.
run_fuzzer() {
    local name=$1 corpus=$2
    shift 2
    local root
    root=$(pwd)
    if [[ -f "fuzz/$name.dict" ]]; then
        set -- -dict="$root/fuzz/$name.dict" "$@"
    fi
    mkdir -p "$corpus" build/fuzz/artifacts build/fuzz/run
    corpus=$(realpath "$corpus")
    (cd build/fuzz/run && "$root/build/fuzz/bin/$name" -close_fd_mask=3 \
        -artifact_prefix="$root/build/fuzz/artifacts/$name-" "$@" \
        "$corpus" "$root/fuzz/corpus/$name" </dev/null)
}
