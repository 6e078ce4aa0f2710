#!/usr/bin/env bash
# Builds plughost and the plugins natively (into build/) and runs plughost.
# Without arguments, on a terminal, it opens the interactive two-panel host
# in samples/ (F10 quits); elsewhere it runs `plughost info`. Arguments go
# to plughost.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --run
cmake -S . -B build -DPLUGHOST_TESTS=OFF >/dev/null
cmake --build build -j2
if [[ $# -eq 0 ]]; then
  if [[ -t 0 && -t 1 ]]; then
    set -- browse samples
  else
    set -- info
  fi
fi
exec build/bin/plughost "$@"
