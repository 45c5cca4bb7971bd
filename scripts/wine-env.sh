# shellcheck shell=bash
# What the scripts that build, package and run the Windows program share;
# sourced by scripts/windows-deploy, windows-package, windows-test and
# windows-bench.
#
#   build_version BUILD    the project's version, from BUILD's CMake cache
#   dll_folders QT         the folders the Windows program's DLLs come from
#                          (Qt's, the GCC runtime's, mingw-w64's), one a line
#   wine_prefix_new DIR    a new 64-bit Wine prefix in DIR/prefix, made and
#                          ready; exports WINEPREFIX and the settings below
#   wine_path QT           WINEPATH for running the build's programs in place
#   wine_run SECONDS ARGS  wine ARGS, ended after SECONDS (status 124)
#   wine_settle [SECONDS]  waits for every process of the prefix to end, at
#                          most SECONDS (60); fails when they have not
#   wine_end               ends every process of the prefix made here, and
#                          of no other: nothing when none was made
#
# Wine keeps Linux's QT_* variables from Windows programs (they are meant for
# Linux's Qt) and hands them WINEQT_* ones instead, under the name without
# WINE: WINEQT_QPA_PLATFORM reaches a Windows program as QT_QPA_PLATFORM.

build_version() {
    sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"
}

dll_folders() {
    echo "$1/bin"
    dirname "$(x86_64-w64-mingw32-gcc-posix -print-libgcc-file-name)"
    echo /usr/x86_64-w64-mingw32/lib
}

# The prefix made by wine_prefix_new; until then wineserver is never asked
# to end anything, so that a session of the user's own (their default prefix,
# or one named by a WINEPREFIX they exported) is never touched.
wine_own_prefix=

wine_prefix_new() {
    export WINEPREFIX=$1/prefix WINEARCH=win64 WINEDEBUG=-all
    wine_own_prefix=$WINEPREFIX
    # No Mono or Gecko: nothing here needs them, and Wine would offer to
    # fetch them.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    timeout 300 wineboot --init >/dev/null 2>&1
    wine_settle 120
}

wine_run() {
    local seconds=$1
    shift
    timeout "$seconds" wine "$@"
}

wine_settle() {
    timeout "${1:-60}" wineserver -w
}

wine_end() {
    if [ -n "$wine_own_prefix" ] && [ "${WINEPREFIX:-}" = "$wine_own_prefix" ]; then
        timeout 60 wineserver -k 2>/dev/null || true
    fi
}

wine_path() {
    local dir path=
    while IFS= read -r dir; do
        path+="${path:+;}$(winepath -w "$dir" 2>/dev/null)"
    done < <(dll_folders "$1")
    echo "$path"
}
