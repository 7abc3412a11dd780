#!/usr/bin/env bash
# Installs what is missing, builds (Release, into build/), and converts the bundled sample
# boring. The sample is copied first into the work folder $ZK_SAMPLE_WORK
# (/tmp/zk2morvex-sample by default, shared with scripts/window-on-sample.sh), because a
# conversion writes "BORLING.NO" into the boring's folder. The code-table setting goes into
# $ZK_SAMPLE_WORK/sys (ZK_SYSDIR), so that the user's own setting is left alone.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_TESTS=OFF >/dev/null
cmake --build build

work=${ZK_SAMPLE_WORK:-/tmp/zk2morvex-sample}
rm -rf "$work"
mkdir -p "$work/out"
cp -r sample/B001 "$work/B001"
export ZK_SYSDIR="$work/sys"
build/bin/zk2morvex-cli set-codes "$PWD/sample/codes"

echo "Converting $work/B001 into $work/out:"
build/bin/zk2morvex-cli convert --yes --dest "$work/out" "$work/B001"

# With a display, the window opens on the same copy of the sample.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/bin/zk2morvex ]; then
  echo "Opening the window on $work/B001 (close it to finish)."
  build/bin/zk2morvex "$work/B001" "$work/out"
fi
