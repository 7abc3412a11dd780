#!/usr/bin/env bash
# Builds the Windows programs on Debian with MinGW-w64 (Release, static): zk2morvex.exe (the
# window), zk2morvex-cli.exe and the tests, into build-windows/ (ZK_WINDOWS_BUILD overrides).
# GoogleTest for MinGW is built once from Debian's sources into the build folder and kept there.
#   bash scripts/build-windows.sh          build
#   bash scripts/build-windows.sh --test   build, then run the tests under Wine through ctest
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/install-deps.sh g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 googletest libcli11-dev
build=${ZK_WINDOWS_BUILD:-build-windows}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
gtest=$root/$build/googletest

if [ ! -f "$gtest/install/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$gtest/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest/install" >/dev/null
  cmake --build "$gtest/build"
  cmake --install "$gtest/build" >/dev/null
fi

# CLI11 is headers only: Debian's copy, given to the cross build on its own, without the rest
# of the host's /usr/include.
cli11=$root/$build/cli11
if [ ! -f "$cli11/CLI11Config.cmake" ]; then
  mkdir -p "$cli11/include"
  cp -r /usr/include/CLI "$cli11/include/"
  cat >"$cli11/CLI11Config.cmake" <<'CMAKE'
if(NOT TARGET CLI11::CLI11)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${CMAKE_CURRENT_LIST_DIR}/include")
endif()
CMAKE
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DZK_BUILD_TESTS=ON -DZK_BUILD_WINDOW=ON -DGTest_DIR="$gtest/install/lib/cmake/GTest" -DCLI11_DIR="$cli11" \
  ${ZK_WINDOWS_CMAKE_ARGS:-} >/dev/null
cmake --build "$build"

[ "${1:-}" = "--test" ] || exit 0

# Wine's own folder inside the build folder, made once; one Wine server kept for the whole run
# (each test is a program of its own) and stopped after it.
export WINEPREFIX=$root/$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine wineboot --init >/dev/null 2>&1
  wineserver -w
fi
wineserver -k 2>/dev/null || true  # a server left by an earlier run of this folder
wineserver -p
# Wine's own services start with the first program and would keep that program's output open;
# started here, they hold nothing of a test's.
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
status=0
# Now and then Wine fails to start a test program at all (it ends at once with no output): such
# a test is run once more, and one that fails twice fails the run. The first attempt stays in
# the log.
ctest --test-dir "$build" --output-on-failure -j2 --repeat until-pass:2 --output-junit ctest-junit.xml |
  tee "$build/ctest.log" || status=$?
wineserver -k || true
exit $status
