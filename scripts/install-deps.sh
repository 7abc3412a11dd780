#!/usr/bin/env bash
# Installs what building and testing need on Debian, and only what is missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev qt6-base-dev qt6-svg-dev fonts-noto-cjk)
# The Windows installer and the Windows window's self-test (Xvfb).
packages+=(nsis xvfb)
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
