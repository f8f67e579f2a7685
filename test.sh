#!/usr/bin/env bash
# ./test.sh [CTEST ARGS...]: installs what is missing, builds everything, then runs the tests under
# Wine on a private Xvfb display, every Wine process on one processor (see wine_share_one_cpu).
# Arguments go to ctest, e.g. ./test.sh -R res\\. (one test exe) or ./test.sh -R Name. The exit
# code is ctest's.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

"$ROOT/cmake/setup.sh"

# shellcheck source=cmake/wine-env.sh
source "$ROOT/cmake/wine-env.sh" test
wine_env_lock
trap wine_cleanup EXIT
wine_share_one_cpu
wine_start_xvfb
wine_ensure_prefix
wine_start_desktop

status=0
# The labels (wine, lint) are for choosing tests; their timing table would follow the summary line.
ctest --test-dir "$ROOT/build" --output-on-failure --no-label-summary "$@" || status=$?
exit "$status"
