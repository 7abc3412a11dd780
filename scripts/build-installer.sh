#!/usr/bin/env bash
# Builds the Windows installer (NSIS, amd64-unicode, Japanese) from the built programs.
#   scripts/build-installer.sh [BIN_DIR [OUT_FILE]]
# BIN_DIR holds zk2morvex.exe and zk2morvex-cli.exe (default build-windows/bin); the installer
# is written to OUT_FILE (default build-windows/zk2morvex-setup.exe). Needs the nsis package.
set -euo pipefail
tree=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$tree/build-windows/bin}" && pwd)
out=${2:-$tree/build-windows/zk2morvex-setup.exe}
for exe in zk2morvex.exe zk2morvex-cli.exe; do
  [ -f "$bin/$exe" ] || { echo "build-installer: $bin/$exe is missing (build the Windows programs first)" >&2; exit 1; }
done
version=$(sed -n 's/^project(zk2morvex VERSION \([0-9.]*\).*/\1/p' "$tree/CMakeLists.txt")
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")

# The sample's files, listed one by one so that the uninstaller removes exactly these. A
# BORLING.NO left by converting the tree's own sample is no part of it.
sample_files() {
  local f
  for f in "$tree/sample/$1"/*; do
    if [ -f "$f" ] && [ "$(basename "$f")" != BORLING.NO ]; then echo "$f"; fi
  done
}
list=$(mktemp -d)
trap 'rm -rf "$list"' EXIT
{
  echo '!macro InstallSampleFiles'
  for folder in B001 codes; do
    echo "  SetOutPath \"\$INSTDIR\\sample\\$folder\""
    sample_files "$folder" | while read -r f; do echo "  File \"$f\""; done
  done
  echo '!macroend'
  echo '!macro RemoveSampleFiles'
  for folder in B001 codes; do
    sample_files "$folder" | while read -r f; do echo "  Delete \"\$INSTDIR\\sample\\$folder\\$(basename "$f")\""; done
  done
  echo '!macroend'
} > "$list/files.nsh"

makensis -V2 -INPUTCHARSET UTF8 \
  -DBIN_DIR="$bin" -DTREE="$tree" -DFILES_NSH="$list/files.nsh" -DOUT_FILE="$out" -DVERSION="$version" \
  "$tree/packaging/windows/zk2morvex.nsi"
echo "installer: $out"
