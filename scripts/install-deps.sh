#!/usr/bin/env bash
# Installs what building and testing need on Debian, and only what is missing. Runs as root or,
# as another user, through sudo. Waits up to ten minutes for another package manager (an
# unattended upgrade, a second install) to let go of its lock instead of failing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev libcli11-dev qt6-base-dev qt6-svg-dev
          qt6-translations-l10n fonts-noto-cjk clang-format-14)
# The Windows installer and the Windows window's self-test (Xvfb).
packages+=(nsis xvfb)
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Needs root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
  fi
  lock=(-o DPkg::Lock::Timeout=600)
  "${sudo[@]}" apt-get "${lock[@]}" update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "${lock[@]}" install -y -qq "${missing[@]}"
fi
