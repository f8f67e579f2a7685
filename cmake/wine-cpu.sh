#!/usr/bin/env bash
# wine-cpu.sh COMMAND [ARGS...]: runs COMMAND on the processor that the caller's Wine processes
# share (WINE_CPU, chosen by wine_share_one_cpu in cmake/wine-env.sh), or on any when none was
# chosen. For whatever starts Wine programs during a suite run: the test exes (cmake/wine-run.sh)
# and the scripts that the suite runs as tests.
if [ -n "${WINE_CPU:-}" ]; then
    exec taskset -c "$WINE_CPU" "$@"
fi
exec "$@"
