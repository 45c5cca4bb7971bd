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

wine_prefix_new() {
    export WINEPREFIX=$1/prefix WINEARCH=win64 WINEDEBUG=-all
    # No Mono or Gecko: nothing here needs them, and Wine would offer to
    # fetch them.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    wineboot --init >/dev/null 2>&1
    wineserver -w
}

wine_path() {
    local dir path=
    while IFS= read -r dir; do
        path+="${path:+;}$(winepath -w "$dir" 2>/dev/null)"
    done < <(dll_folders "$1")
    echo "$path"
}
