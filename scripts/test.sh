#!/usr/bin/env bash
# Installs what is missing, builds the test build (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs every test; then the conversion tests under ThreadSanitizer; then builds the Windows programs with MinGW-w64 and runs their tests under
# Wine (scripts/build-windows.sh; ZK_WINDOWS=0 leaves that out); then builds the fuzz targets with
# clang and runs each a fixed number of times from a fixed seed (reproducible; a crash fails the
# script and leaves its input in build-fuzz/artifacts/). ZK_FUZZ_RUNS overrides the number of
# runs; ZK_FUZZ_RUNS=0 skips fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh xvfb clang
# The C++ layout first: a file that differs from what .clang-format makes of it fails the run.
bash scripts/check-format.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZK_SANITIZE=ON -DZK_WERROR=ON
cmake --build build-test
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j2 --output-junit ctest-junit.xml | tee build-test/ctest.log
# The conversion's threads (the code tables taken beside the boring, a large boring's tables
# looked at side by side) under ThreadSanitizer: the conversion tests, in a build of their own.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZK_TSAN=ON -DZK_WERROR=ON -DZK_BUILD_WINDOW=OFF
cmake --build build-tsan --target tests_conversion
TSAN_OPTIONS=halt_on_error=1 build-tsan/bin/tests_conversion --gtest_brief=1
windows_status=0
if [ "${ZK_WINDOWS:-1}" != "0" ]; then
  bash scripts/build-windows.sh --test || windows_status=$?
fi

# The test counts again at the very end, after the fuzz runs' own output: passed, skipped (with
# their reasons in the log above) and failed, for each build.
count() {
  local log=$1 total failed skipped
  [ -f "$log" ] || { echo "not run"; return; }
  total=$(grep -oE 'tests failed out of [0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
  failed=$(grep -oE '[0-9]+ tests failed out of' "$log" | grep -oE '^[0-9]+' || echo 0)
  skipped=$(grep -cE '\(Skipped\)$' "$log" || true)
  echo "$((total - failed - skipped)) passed, ${skipped} skipped, ${failed} failed"
}
# The reason each skipped test gave, from ctest's JUnit file.
skip_reasons() {
  [ -f "$1" ] || return 0
  awk '/<testcase name="/ { match($0, /name="[^"]*"/); name = substr($0, RSTART + 6, RLENGTH - 7) }
       reason { print "  skipped " name ": " $0; reason = 0 }
       /: Skipped$/ { reason = 1 }' "$1"
}
summary() {
  echo "tests (Linux): $(count build-test/ctest.log)"
  skip_reasons build-test/ctest-junit.xml
  [ "${ZK_WINDOWS:-1}" = "0" ] && return
  echo "tests (Windows, under Wine): $(count build-windows/ctest.log)"
  skip_reasons build-windows/ctest-junit.xml
}
[ "$windows_status" -eq 0 ] || { summary; exit 1; }

runs_default=${ZK_FUZZ_RUNS:-}
[ "${runs_default}" = "0" ] && { summary; exit 0; }
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZK_FUZZ=ON -DZK_BUILD_TESTS=OFF -DZK_BUILD_WINDOW=OFF
cmake --build build-fuzz
mkdir -p build-fuzz/artifacts
# The targets' own files go into the build folder, never into /tmp.
export ZK_FUZZ_WORK="$PWD/build-fuzz/work"
# Runs per target, each well under a minute on this machine.
declare -A runs=([field_reader_fuzz]=25000 [numbers_fuzz]=400000 [conversion_fuzz]=6000 [formatters_fuzz]=1500000)
for target in build-fuzz/bin/*_fuzz; do
  name=$(basename "$target")
  seeds="fuzz/corpus/${name%_fuzz}"
  work=build-fuzz/work/corpus-$name
  rm -rf "$work" && mkdir -p "$work"
  n=${runs_default:-${runs[$name]:-20000}}
  echo "fuzzing $name: $n runs"
  status=0
  "$target" -seed=1 -runs="$n" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix=build-fuzz/artifacts/"$name"- "$work" "$seeds" >"$work.log" 2>&1 || status=$?
  grep -E "DONE|^Done" "$work.log" || true
  [ "$status" -eq 0 ] || tail -n 40 "$work.log"
  rm -rf "$work" "$work.log" "$ZK_FUZZ_WORK"
  [ "$status" -eq 0 ] || { echo "$name failed (input in build-fuzz/artifacts/)"; exit 1; }
done
summary
