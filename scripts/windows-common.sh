# Shared by scripts/windows and scripts/test-windows: Wine in a prefix of the build folder, Wine's
# first start bounded, and the checks of what a Windows build made.

export WINEDEBUG=-all
export WINEPREFIX=$PWD/build/wineprefix
# No Mono or Gecko installer prompts at the first start.
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE64=/usr/lib/wine/wine64

# Wine: the prefix made once, a first start that hangs ended rather than holding CI up, and Wine's
# server started here, with its output elsewhere, so that it holds no test runner's pipe. Each
# program then runs on a virtual display of its own (xvfb-run): CI has none.
start_wine() {
    /usr/lib/wine/wineserver -p >/dev/null 2>&1 || true
    timeout 300 "$WINE64" wineboot -i >/dev/null 2>&1 || true
    trap stop_wine EXIT
}

stop_wine() {
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
}

# Whether this machine runs 32-bit Windows programs under Wine (its kernel must run 32-bit ones).
wine32_works() {
    local probe=$1
    timeout 120 wine "$probe" --gtest_list_tests >/dev/null 2>&1
}

# A DLL exports exactly the two entry points, and every program imports only the system's DLLs and
# the folder's own. API-MS-WIN-CORE-SYNCH-L1-2-0 is the system's name for WaitOnAddress's home
# (Windows 8 and later), which the loader resolves itself.
check_windows_files() {
    local folder=$1 objdump=$2 status=0
    local exports
    exports=$("$objdump" -p "$folder/veltra_engine.dll" |
        awk '/\[Ordinal\/Name Pointer\] Table/ { on = 1; next } on && NF == 0 { on = 0 } on { print $NF }' | tr '\n' ' ')
    if [[ $exports != "CreateDllInterface DestroyDllInterface " ]]; then
        echo "veltra_engine.dll exports: $exports" >&2
        status=1
    fi
    local file
    for file in "$folder"/*.exe "$folder"/*.dll; do
        [[ -f $file ]] || continue
        local imports
        imports=$("$objdump" -p "$file" | awk '/DLL Name:/ { print toupper($3) }' |
            grep -vxE 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|OPENGL32.DLL|WINMM.DLL|MSVCRT.DLL|API-MS-WIN-CORE-SYNCH-L1-2-0.DLL|ADVAPI32.DLL|SHELL32.DLL|OLE32.DLL|WS2_32.DLL|VELTRA_ENGINE.DLL' || true)
        if [[ -n $imports ]]; then
            echo "$(basename "$file") imports more than the system's DLLs: $imports" >&2
            status=1
        fi
    done
    return $status
}
