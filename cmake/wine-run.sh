#!/usr/bin/env bash
# wine-run.sh PROGRAM.exe [ARGS...]: runs a Windows program of the build under Wine. CMake's
# emulator for the cross build, so ctest starts the test exes through it. Uses the prefix the
# caller set up (test.sh, bench/run); on its own, the test prefix.
if [ -z "${WINEPREFIX:-}" ]; then
    # shellcheck source=cmake/wine-env.sh
    source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh" test
fi
exec "$(dirname "${BASH_SOURCE[0]}")/wine-cpu.sh" wine "$@"
