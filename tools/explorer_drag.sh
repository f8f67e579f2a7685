#!/usr/bin/env bash
# tools/explorer_drag.sh: drags Alpha.exe from the runtime's own file manager onto the first page's
# list with real mouse input (explorer_drag.exe) on a private Xvfb, in the Wine prefix .wine/drag,
# and fails unless exactly one row for the file appeared.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

"$ROOT/cmake/setup.sh" Dalvorin explorer_drag desktop_hold

# shellcheck source=cmake/wine-env.sh
source "$ROOT/cmake/wine-env.sh" drag
wine_env_lock
trap wine_cleanup EXIT
wine_start_xvfb
wine_ensure_prefix
wine_start_desktop

cd "$ROOT/build/bin"
wine ./explorer_drag.exe
