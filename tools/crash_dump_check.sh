#!/usr/bin/env bash
# tools/crash_dump_check.sh BUILD_DIR: lets crash_probe.exe fault with an access violation in the
# suite's Wine prefix and reads the dump it leaves with winedump, a reader other than the dbghelp
# that wrote it. Fails unless exactly one new dump appears, it starts with the MDMP signature and
# its exception stream holds the code the process ended with. Exit code 77 (skipped) where
# winedump is missing: cmake/setup.sh installs it only where it is small.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BIN=${1:?usage: crash_dump_check.sh BUILD_DIR}/bin

command -v winedump >/dev/null || { echo "crash dump check: winedump is missing"; exit 77; }
[ -n "${WINEPREFIX:-}" ] || { echo "crash dump check: run it from the suite (no Wine prefix)"; exit 1; }
folder=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/crash_probe/CrashDumps

listing() { ls "$folder" 2>/dev/null | grep '\.dmp$' || true; }
before=$(listing)
status=0
timeout 30 "$ROOT/cmake/wine-cpu.sh" wine "$BIN/crash_probe.exe" access-violation >/dev/null 2>&1 || status=$?
made=$(comm -13 <(echo "$before") <(listing))
[ -n "$made" ] || { echo "crash dump check: no new dump in $folder (exit status $status)"; exit 1; }
[ "$(echo "$made" | wc -l)" -eq 1 ] || { echo "crash dump check: more than one new dump: $made"; exit 1; }
dump=$folder/$made
trap 'rm -f "$dump"' EXIT

report=$(winedump dump "$dump" | grep -E '^ *Signature:|^Stream \[[0-9]+\]: Exception:|^  ExceptionCode:' || true)
echo "$report"
# Wine 10's winedump indents the header and lists the streams without their contents.
grep -Eq '^ *Signature: 0x504d444d \(MDMP\)$' <<<"$report" || { echo "crash dump check: no MDMP signature"; exit 1; }
if grep -q '^  ExceptionCode:' <<<"$report"; then
    grep -q '^Stream \[[0-9]*\]: Exception:$' <<<"$report" || { echo "crash dump check: no exception stream"; exit 1; }
    code=$(sed -n 's/^  ExceptionCode: 0x\([0-9a-f]*\)$/\1/p' <<<"$report" | head -n 1)
    # The launcher passes on the low byte of the Windows exit code.
    if [ -z "$code" ] || [ $((0x$code & 0xff)) -ne "$status" ]; then
        echo "crash dump check: exception code 0x$code in the dump, exit status $status"
        exit 1
    fi
    code=0x$code
else
    code="(not listed by this winedump)"
fi
echo "crash dump check: $(stat -c %s "$dump") bytes, exception $code, exit status $status"
