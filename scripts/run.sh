#!/usr/bin/env bash
# Builds plughost and the plugins natively (into build/) and runs plughost.
# Arguments go to plughost; without any it runs `plughost info`.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --run
cmake -S . -B build -DPLUGHOST_TESTS=OFF >/dev/null
cmake --build build -j2 --target plughost vexil
[[ $# -eq 0 ]] && set -- info
exec build/bin/plughost "$@"
