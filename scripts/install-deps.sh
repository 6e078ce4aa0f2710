#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when some are missing.
#   scripts/install-deps.sh          everything: builds, tests, Windows build under Wine
#   scripts/install-deps.sh --run    only what the native build of plughost needs
set -euo pipefail

if [[ "${1:-}" == "--run" ]]; then
  packages=(cmake g++ libncurses-dev)
else
  packages=(cmake g++ googletest g++-mingw-w64-i686 wine wine32:i386 sharutils python3 tmux libncurses-dev clang)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "installing: ${missing[*]}"
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y "${missing[@]}"
