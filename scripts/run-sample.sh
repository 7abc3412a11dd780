#!/usr/bin/env bash
# Installs what is missing, builds, and converts the bundled sample boring. The sample is
# copied first, because a conversion writes "BORLING.NO" into the boring's folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_TESTS=OFF >/dev/null
cmake --build build

work=${ZK_SAMPLE_WORK:-/tmp/zk2morvex-sample}
rm -rf "$work"
mkdir -p "$work/sys" "$work/out"
cp -r sample/B001 "$work/B001"
# The settings file: its first line is skipped, the second names the code-table folder.
printf '[zk2morvex]\r\n%s/\r\n' "$PWD/sample/codes" > "$work/sys/RaroreD5.ini"

echo "Converting $work/B001 into $work/out:"
ZK_SYSDIR="$work/sys" build/bin/zk2morvex-cli --yes --dest "$work/out" "$work/B001"

# With a display, the window opens on the same copy of the sample.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/bin/zk2morvex ]; then
  echo "Opening the window on $work/B001 (close it to finish)."
  ZK_SYSDIR="$work/sys" build/bin/zk2morvex "$work/B001" "$work/out"
fi
