#!/usr/bin/env bash
# Installs what is missing, then builds and tests every configuration:
#   build/        native
#   build-asan/   native with AddressSanitizer and UndefinedBehaviorSanitizer (clang)
#   build-win/    i686 Windows (mingw-w64): the DLLs the host loads. Its tests run
#                 under 32-bit Wine where this machine runs 32-bit programs;
#                 elsewhere only its checks that execute nothing (exports,
#                 imports, the archive; the record layouts are checked when it compiles)
#   build-win64/  x86_64 Windows, a test target only, made where 32-bit programs
#                 don't run: the whole Windows suite under 64-bit Wine
# Ends with one line per suite saying what ran, and exits non-zero when any
# build or test failed.
set -uo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh || exit 1

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no installer prompts for components we never use
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
summary=()
total_passed=0
total_failed=0

# configure_and_build <name> <build dir> [cmake options...]
# Builds everything, or only the targets named in $targets.
configure_and_build() {
  local name=$1 dir=$2
  shift 2
  echo "=== $name: configure and build ($dir)"
  mkdir -p "$dir"
  if ! cmake -S . -B "$dir" -DPLUGHOST_TESTS=ON "$@" >"$dir/configure.log" 2>&1; then
    cat "$dir/configure.log"
    failed+=("$name (configure)")
    summary+=("$name: not run (configure failed)")
    return 1
  fi
  local target_args=()
  for t in ${targets:-}; do target_args+=(--target "$t"); done
  if ! cmake --build "$dir" -j2 "${target_args[@]}"; then
    failed+=("$name (build)")
    summary+=("$name: not run (build failed)")
    return 1
  fi
}

run_tests() {  # run_tests <name> <build dir> [ctest options...]
  local name=$1 dir=$2
  shift 2
  echo "=== $name"
  ctest --test-dir "$dir" -j2 --output-on-failure "$@" 2>&1 | tee "$dir/ctest.log"
  local rc=${PIPESTATUS[0]}
  # ctest's closing line: "100% tests passed, 0 tests failed out of 48"
  local line passed=0 failed_count=0 total=0
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$dir/ctest.log" | tail -n 1)
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    failed_count=${BASH_REMATCH[1]}
    total=${BASH_REMATCH[2]}
    passed=$((total - failed_count))
  fi
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed_count))
  if [[ $rc -ne 0 || $total -eq 0 ]]; then
    failed+=("$name")
    summary+=("$name: $passed passed, $failed_count failed$([[ $total -eq 0 ]] && echo ' (no test ran)')")
  else
    summary+=("$name: $passed passed")
  fi
}

start_wine() {  # start_wine <loader>: one server and Wine's services for the whole run
  local loader=$1
  if [[ ! -d "${WINEPREFIX:-$HOME/.wine}" ]]; then
    echo "=== preparing the Wine prefix"
    "$loader" wineboot -i </dev/null >/dev/null 2>&1 || true
  fi
  # Test programs started while a server is shutting down after the previous
  # one could fail to connect to it. Wine's background services are started
  # here, detached from every output, so that none of them inherits (and
  # holds open) the output pipe of a test.
  wineserver -p >/dev/null 2>&1 || true
  "$loader" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

if ./scripts/runs-32bit.sh; then
  runs32=yes
else
  runs32=no
fi

configure_and_build native build && run_tests "native tests" build
CC=clang CXX=clang++ configure_and_build sanitizer build-asan -DPLUGHOST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug &&
  run_tests "sanitizer tests (ASan+UBSan)" build-asan

# Where the i686 tests cannot run, only the plugins are built (their checks
# need nothing else), which keeps the run short.
i686_targets=""
[[ $runs32 == no ]] && i686_targets="vexil calculator"
if targets=$i686_targets configure_and_build "i686 Windows" build-win -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-i686.cmake; then
  if [[ $runs32 == yes ]]; then
    start_wine wine
    run_tests "i686 Windows tests" build-win
    wineserver -k >/dev/null 2>&1 || true
  else
    run_tests "i686 Windows checks that execute nothing" build-win -L static
    summary+=("i686 Windows tests: not run (this kernel runs no 32-bit programs, so Wine's i686 loader cannot start)")
  fi
fi

if [[ $runs32 == no ]]; then
  wine64=/usr/lib/wine/wine64
  if configure_and_build "x86_64 Windows" build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-x86_64.cmake; then
    start_wine "$wine64"
    run_tests "x86_64 Windows tests" build-win64
    wineserver -k >/dev/null 2>&1 || true
  fi
else
  summary+=("x86_64 Windows tests: not run (not needed: the i686 suite ran under Wine)")
fi

echo
echo "=== summary"
printf '%s\n' "${summary[@]}"
if [[ ${#failed[@]} -ne 0 ]]; then
  echo "FAILED: ${failed[*]}"
  echo "total: $total_passed passed, $total_failed failed"
  exit 1
fi
echo "total: $total_passed passed, $total_failed failed"
