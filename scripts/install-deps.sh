#!/usr/bin/env bash
# Installs the Debian packages the project needs, only when some are missing.
#   scripts/install-deps.sh          everything: builds, tests, Windows builds under Wine
#   scripts/install-deps.sh --run    only what the native build of plughost needs
#
# The Windows tests take one of two routes, chosen by running a 32-bit program
# (scripts/runs-32bit.sh): where 32-bit programs run, the i686 build's tests
# run under 32-bit Wine (wine32:i386); where they don't, an x86_64 build's
# tests run under 64-bit Wine (wine64, g++-mingw-w64-x86-64). The i686 build
# itself is made on both routes.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" == "--run" ]]; then
  packages=(cmake g++ libncurses-dev)
else
  packages=(cmake g++ googletest sharutils python3 tmux libncurses-dev clang
            g++-mingw-w64-i686 wine wine64)
  if ./scripts/runs-32bit.sh; then
    packages+=(wine32:i386)
  else
    packages+=(g++-mingw-w64-x86-64)
  fi
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
