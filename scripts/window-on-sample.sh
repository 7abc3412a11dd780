#!/usr/bin/env bash
# Opens the window on a fresh copy of the bundled sample boring: sample/B001 is copied to
# $ZK_SAMPLE_WORK/B001 (the work folder that scripts/run-sample.sh uses too;
# /tmp/zk2morvex-sample by default), so that a run leaves the repository alone, with the
# destination folder $ZK_SAMPLE_WORK/out. Unless ZK_SYSDIR is set, the code-table setting for
# sample/codes is written into $ZK_SAMPLE_WORK/sys first. Without a display the window runs
# under xvfb-run. Arguments go to the program, e.g. --screenshot docs/window.png, except
# --with-warnings, which spoils the copy first so that a run has something to tell: a blow
# count and a penetration in X5.TXT that are no numbers.
#   scripts/window-on-sample.sh --with-warnings --press Command1 --screenshot docs/window-findings.png
#
# The window is the one built by either README command (build/ from scripts/run-sample.sh,
# build-release/ from the package build), else the installed one; ZK_WINDOW names another.
# A sanitizer build's window is never taken: its leak report on the desktop libraries makes
# every run end with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."

with_warnings=0
args=()
for a in "$@"; do
  if [ "$a" = "--with-warnings" ]; then with_warnings=1; else args+=("$a"); fi
done

# A build folder configured with the sanitizers.
sanitized() {
  local cache="$1/CMakeCache.txt"
  [ -f "$cache" ] && grep -q '^ZK_SANITIZE:BOOL=ON' "$cache"
}

program=${ZK_WINDOW:-}
if [ -z "$program" ]; then
  for folder in build build-release; do
    if [ -x "$folder/bin/zk2morvex" ] && ! sanitized "$folder"; then program=$folder/bin/zk2morvex; break; fi
  done
  [ -z "$program" ] && [ -x /usr/bin/zk2morvex ] && program=/usr/bin/zk2morvex
fi
if [ -z "$program" ]; then
  echo "zk2morvex is not built: bash scripts/run-sample.sh (or the package build in README.md)" >&2
  exit 1
fi
bin=$(dirname "$program")

work=${ZK_SAMPLE_WORK:-/tmp/zk2morvex-sample}
mkdir -p "$work/out"
rm -rf "$work/B001"
cp -r sample/B001 "$work/B001"
if [ "$with_warnings" = 1 ]; then
  sed -i -e '2s/^2,2\.15,7,/2,2.15,abc,/' -e '5s/^5,5\.15,50,1,8,/5,5.15,50,1,x8,/' "$work/B001/X5.TXT"
fi

if [ -z "${ZK_SYSDIR:-}" ]; then
  export ZK_SYSDIR="$work/sys"
  if [ -x "$bin/zk2morvex-cli" ]; then
    "$bin/zk2morvex-cli" set-codes "$PWD/sample/codes" >/dev/null
  else
    mkdir -p "$ZK_SYSDIR"
    printf '[VUREDA]\r\n%s/\r\n' "$PWD/sample/codes" > "$ZK_SYSDIR/RaroreD5.ini"
  fi
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1024x768x24" "$program" ${args[@]+"${args[@]}"} "$work/B001" "$work/out"
else
  "$program" ${args[@]+"${args[@]}"} "$work/B001" "$work/out"
fi
