#!/usr/bin/env bash
# The Windows installer's round trip under Wine, in a fresh Wine prefix:
#  1. builds the installer from the built programs and installs it silently (/S) into a folder
#     with Japanese letters in its name (a blank cannot be tested: Wine quotes the argument
#     and the installer takes /D= only unquoted);
#  2. checks the programs, the sample, the uninstaller, the Start-menu entry and the code-table
#     setting are there;
#  3. converts the installed sample boring with the installed zk2morvex-cli (the setting the
#     installer wrote, no ZK_SYSDIR) and compares the exchange file with the golden file;
#  4. uninstalls silently and checks every installed file is gone while the BORLING.NO the
#     conversion wrote into the sample folder is left, as the user's own file;
#  5. installs and uninstalls again over a code-table setting of the user's own: the setting
#     is neither changed nor removed.
#   installer_test.sh BIN_DIR SOURCE_TREE WORK_FOLDER
set -euo pipefail
bin=$1 tree=$2 work=$3
for tool in wine wineserver winepath wineboot makensis; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
mkdir -p "$work"
# No "." in the folder names: a folder name with a dot must be an 8.3 name.
run=$(mktemp -d "$work/installer-test-XXXXXX")
export WINEPREFIX=$run/wineprefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset ZK_SYSDIR DISPLAY
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$run"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

bash "$tree/scripts/build-installer.sh" "$bin" "$run/zk2morvex-setup.exe" || fail "the installer was not built"
# Wine making a new prefix while other tests run Wine beside it has once failed at once: a
# second try before the test gives up, and a word on what failed either way.
wineboot -i >/dev/null 2>&1 || { wineserver -k 2>/dev/null || true; wineboot -i >/dev/null 2>&1; } ||
  fail "Wine could not make its folder $WINEPREFIX"
wineserver -p 2>/dev/null || true  # one server for all the steps (already running: fine)

install_win='C:\ボーリング変換\zk2morvex'
inst=$(winepath -u "$install_win") || fail "winepath cannot name $install_win"
inst=${inst%/}
echo "== installing into $install_win"
wine "$run/zk2morvex-setup.exe" /S "/D=$install_win"
wineserver -w
installed=(zk2morvex.exe zk2morvex-cli.exe uninstall.exe)
for f in "$tree"/sample/B001/* "$tree"/sample/codes/*; do
  name=$(basename "$f")
  [ "$name" = BORLING.NO ] || installed+=("sample/$(basename "$(dirname "$f")")/$name")
done
for f in "${installed[@]}"; do
  [ -f "$inst/$f" ] || fail "not installed: $f"
done
cmp "$tree/sample/codes/L9.txt" "$inst/sample/codes/L9.txt" || fail "installed L9.txt differs"
user_dir=$WINEPREFIX/drive_c/users/$(id -un)
menu=$(find "$user_dir" -path '*Start Menu/Programs/zk2morvex/*.lnk' | wc -l)
[ "$menu" -eq 3 ] || fail "Start-menu entries: $menu, expected 3"
settings=$(find "$user_dir" -ipath '*/AppData/Roaming/zk2morvex/RaroreD5.ini')
[ -n "$settings" ] || fail "the code-table setting was not written"
echo "installed: ${#installed[@]} files, 3 Start-menu entries, setting $(tail -n 1 "$settings" | iconv -f CP932 -t UTF-8 | tr -d "\r")"

echo "== converting the installed sample with the installed command line program"
mkdir -p "$run/out"
wine "$inst/zk2morvex-cli.exe" --yes --dest "$(winepath -w "$run/out")" "$install_win\\sample\\B001"
expected="$tree/tests/fixtures/sample-expected/53393681.001"
cmp "$expected" "$run/out/53393681.001" || fail "exchange file differs from $expected"
[ -f "$inst/sample/B001/BORLING.NO" ] || fail "the conversion wrote no BORLING.NO"
echo "exchange file matches $expected"

echo "== uninstalling"
wine "$inst/uninstall.exe" /S
wineserver -w
for f in "${installed[@]}"; do
  [ ! -e "$inst/$f" ] || fail "left after uninstalling: $f"
done
[ -f "$inst/sample/B001/BORLING.NO" ] || fail "the uninstaller removed the user's BORLING.NO"
[ -z "$(find "$user_dir" -path '*Start Menu/Programs/zk2morvex*')" ] || fail "Start-menu entries left"
[ ! -e "$settings" ] || fail "the setting the installer wrote was left"
[ ! -e "$inst/sample/codes" ] || fail "the emptied code-table folder was left"

echo "== again, over a setting of the user's own"
mkdir -p "$(dirname "$settings")"
printf '[zk2morvex]\r\n"D:\\codes\\"\r\n' > "$settings"
cp "$settings" "$run/own-setting"
wine "$run/zk2morvex-setup.exe" /S "/D=$install_win"
wineserver -w
[ -f "$inst/zk2morvex.exe" ] || fail "not installed the second time"
cmp "$run/own-setting" "$settings" || fail "the installer changed the user's setting"
wine "$inst/uninstall.exe" /S
wineserver -w
[ ! -e "$inst/zk2morvex.exe" ] || fail "left after the second uninstall: zk2morvex.exe"
cmp "$run/own-setting" "$settings" || fail "the uninstaller changed or removed the user's setting"
echo "installer round trip passed"
