#!/usr/bin/env bash
# The Windows window's self-test under Xvfb and Wine, on a copy of the sample boring:
#  1. the window opens at the boring and an empty destination, the program types both into
#     the path boxes, presses 実  行 and checks the status line and the file list; the exchange
#     file is compared with the golden file;
#  2. the same again: the boring was converted before, the question is answered Yes through the
#     message box itself, and the exchange file is written and listed again.
#   window_self_test.sh ZK2MORVEX_EXE SOURCE_TREE WORK_FOLDER [PICTURE.png]
set -euo pipefail
exe=$1 tree=$2 work=$3 picture=${4:-}
for tool in wine wineserver winepath Xvfb; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
mkdir -p "$work"
export WINEPREFIX=${ZK_WINEPREFIX_WINDOW:-$work/wineprefix-window}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# No "." in the folder names: a folder name with a dot must be an 8.3 name.
run=$(mktemp -d "$work/window-self-test-XXXXXX")
xvfb=""
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; fi || true
  rm -rf "$run"
}
trap cleanup EXIT

# One X display for every step, on a free number Xvfb picks itself, so that each Wine program
# (and the one Wine server they share) draws on the same display.
exec {xout}< <(exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
xvfb=$!
read -r -t 60 number <&"$xout" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$number

[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
# Drive Q: names a folder that is not there: a drive that is not ready, for the drive lists.
# Made while no Wine server runs, as the server reads the drives when it starts.
wineserver -w
rm -f "$WINEPREFIX/dosdevices/q:"
ln -s "$run/no-such-folder" "$WINEPREFIX/dosdevices/q:"
wineserver -p 2>/dev/null || true
wine regedit /S "$(winepath -w "$tree/tests/window/win32/wine-prefix.reg")" 2>/dev/null

cp -r "$tree/sample/B001" "$run/B001"
mkdir -p "$run/sys" "$run/out"
# The settings file: its first line is skipped, the second names the code-table folder.
printf '[zk2morvex]\r\n"%s\\"\r\n' "$(winepath -w "$tree/sample/codes")" > "$run/sys/RaroreD5.ini"
export ZK_SYSDIR=$(winepath -w "$run/sys")
source_folder=$(winepath -w "$run/B001")
dest_folder=$(winepath -w "$run/out")

self_test() {
  local status=0
  wine "$exe" --self-test "$source_folder" "$dest_folder" "$@" || status=$?
  [ "$status" -eq 0 ] || { echo "window self-test failed ($status)"; exit 1; }
}

echo "== first conversion of the boring"
if [ -n "$picture" ]; then self_test --screenshot "$(winepath -w "$picture")"; else self_test; fi
expected="$tree/tests/fixtures/sample-expected/53393681.001"
cmp "$expected" "$run/out/53393681.001" || { echo "the window's exchange file differs from $expected"; exit 1; }
echo "exchange file matches $expected"

echo "== the same boring again: the question answered Yes, the exchange file written again"
self_test
cmp "$expected" "$run/out/53393681.001" || { echo "the rewritten exchange file differs from $expected"; exit 1; }
echo "window self-test passed"
