#!/usr/bin/env bash
# Installs what is missing, then builds and tests three configurations:
#   build/       native
#   build-asan/  native with AddressSanitizer and UndefinedBehaviorSanitizer (clang)
#   build-win/   i686 Windows (mingw-w64), tests run under Wine
# Exits non-zero when any build or test fails.
set -uo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh || exit 1

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no installer prompts for components we never use
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()

run() {  # run <name> <build dir> [cmake options...]
  local name=$1 dir=$2
  shift 2
  echo "=== $name: configure and build ($dir)"
  mkdir -p "$dir"
  if ! cmake -S . -B "$dir" -DPLUGHOST_TESTS=ON "$@" >"$dir/configure.log" 2>&1; then
    cat "$dir/configure.log"
    failed+=("$name (configure)")
    return
  fi
  if ! cmake --build "$dir" -j2; then
    failed+=("$name (build)")
    return
  fi
  echo "=== $name: tests"
  ctest --test-dir "$dir" -j2 --output-on-failure || failed+=("$name (tests)")
}

run native build
CC=clang CXX=clang++ run sanitizer build-asan -DPLUGHOST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
if [[ ! -d "${WINEPREFIX:-$HOME/.wine}" ]]; then
  echo "=== preparing the Wine prefix"
  wineboot -i >/dev/null 2>&1 || true
fi
# One wineserver for the whole run: test programs started while a server is
# shutting down after the previous one could fail to connect to it. Wine's
# background services are started here, detached from every output, so that
# none of them inherits (and holds open) the output pipe of a test.
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
run windows build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake
wineserver -k >/dev/null 2>&1 || true

if [[ ${#failed[@]} -ne 0 ]]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all builds and tests passed"
