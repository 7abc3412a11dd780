#!/usr/bin/env bash
# Fails when a C++ file differs from what the committed .clang-format makes of it. The version
# is pinned: another clang-format lays some lines out differently.
set -euo pipefail
cd "$(dirname "$0")/.."
format=clang-format-14
command -v "$format" >/dev/null || { echo "$format is not installed (scripts/install-deps.sh)" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  "$format" -i "${files[@]}"
  exit 0
fi
if ! out=$("$format" --dry-run --Werror "${files[@]}" 2>&1); then
  grep -E "^[^ ].*(warning|error):" <<<"$out" | cut -d: -f1 | sort -u | sed 's/^/not formatted: /' >&2
  echo "run: bash scripts/check-format.sh --fix" >&2
  exit 1
fi
