#!/usr/bin/env bash
# Opens the window on a fresh copy of the bundled sample boring (sample/B001 copied to
# $ZK_WORK/B001, /tmp/zk2morvex-sample by default, so that a run leaves the repository alone),
# with the destination folder $ZK_WORK/out. Unless ZK_SYSDIR is set, the code-table setting is
# written into a temporary system folder first. Without a display the window runs
# under xvfb-run. Arguments go to the program, e.g. --screenshot docs/window.png, except
# --with-warnings, which spoils the copy first so that a run has something to tell: a blow
# count and a penetration in X5.TXT that are no numbers.
#   scripts/window-on-sample.sh --with-warnings --press Command1 --screenshot docs/window-findings.png
set -euo pipefail
cd "$(dirname "$0")/.."

with_warnings=0
args=()
for a in "$@"; do
  if [ "$a" = "--with-warnings" ]; then with_warnings=1; else args+=("$a"); fi
done

program=${ZK_WINDOW:-}
if [ -z "$program" ]; then
  for candidate in build-release/bin/zk2morvex build-test/bin/zk2morvex /usr/bin/zk2morvex; do
    if [ -x "$candidate" ]; then program=$candidate; break; fi
  done
fi
if [ -z "$program" ]; then
  echo "zk2morvex is not built: cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build-release" >&2
  exit 1
fi

work=${ZK_WORK:-/tmp/zk2morvex-sample}
mkdir -p "$work/out"
rm -rf "$work/B001"
cp -r sample/B001 "$work/B001"
if [ "$with_warnings" = 1 ]; then
  sed -i -e '2s/^2,2\.15,7,/2,2.15,abc,/' -e '5s/^5,5\.15,50,1,8,/5,5.15,50,1,x8,/' "$work/B001/X5.TXT"
fi

if [ -z "${ZK_SYSDIR:-}" ]; then
  ZK_SYSDIR=$(mktemp -d)
  trap 'rm -rf "$ZK_SYSDIR"' EXIT
  codes="$PWD/sample/codes"
  [ -d "$codes" ] || { codes="$ZK_SYSDIR/codes"; mkdir -p "$codes"; }
  printf '[VUREDA]\r\n"%s/"\r\n' "$codes" > "$ZK_SYSDIR/RaroreD5.ini"
  export ZK_SYSDIR
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1024x768x24" "$program" ${args[@]+"${args[@]}"} "$work/B001" "$work/out"
else
  "$program" ${args[@]+"${args[@]}"} "$work/B001" "$work/out"
fi
