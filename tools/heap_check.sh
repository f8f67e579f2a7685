#!/usr/bin/env bash
# tools/heap_check.sh [CTEST ARGS...]: runs the test suite (or the tests named by the arguments)
# with Wine's heap checking on: every block handed back to the heap is validated and freed memory is
# filled, so a double or invalid free, or a read of freed memory, shows. Fails when a test fails or
# when Wine reports any heap warning or error; the whole output is kept in build/heap_check.log.
# Only the tests that run under Wine (label "wine"): the static analysis gains nothing from it.
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LOG=$ROOT/build/heap_check.log
mkdir -p "$ROOT/build"

WINEDEBUG=warn+heap "$ROOT/test.sh" -V -L wine "$@" >"$LOG" 2>&1
status=$?
reports=$(grep -cE '(warn|err):heap' "$LOG")
grep -E '(warn|err):heap' "$LOG" | head -n 20
grep -E 'tests passed|tests failed' "$LOG" | tail -n 1
echo "heap reports: $reports (log: $LOG)"
[ "$status" -eq 0 ] && [ "$reports" -eq 0 ]
