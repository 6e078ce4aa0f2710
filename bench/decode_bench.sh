#!/bin/sh
# Decoding speed against GNU uudecode (package sharutils), on the same text in
# the same run. Native builds only; not part of the test suite.
#
#   bench/decode_bench.sh [MIB] [BUILD_DIR] [ROUNDS]
#
# Makes MIB mebibytes (default 128) of pseudo-random bytes, encodes them with
# uuencode, reads the text once so that both decoders read it from the page
# cache, then runs `plughost extract`, `uudecode` and `dd` writing as many
# bytes (the write floor) in turn, ROUNDS times (default 5), so that all
# three meet the machine in the same states. Each is timed by the clock to
# the millisecond; the best round of each counts. Prints the times, the ratio
# uudecode / plughost, and the peak resident memory of each (the highest of
# its rounds).
set -eu
MIB=${1:-128}
BUILD=${2:-build}
ROUNDS=${3:-5}
PLUGHOST="$BUILD/bin/plughost"
[ -x "$PLUGHOST" ] || { echo "no $PLUGHOST; build it first" >&2; exit 2; }
command -v uudecode >/dev/null || { echo "uudecode missing (package sharutils)" >&2; exit 2; }
WORK=$(mktemp -d "${TMPDIR:-/tmp}/decode_bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

head -c $((MIB * 1048576)) /dev/urandom > "$WORK/data.bin"
(cd "$WORK" && uuencode data.bin data.bin > data.uue)
cat "$WORK/data.uue" > /dev/null
mkdir "$WORK/ours" "$WORK/theirs"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# run NAME COMMAND...: one timed round; keeps the best milliseconds and the
# highest peak KB of NAME in $WORK/NAME.best and $WORK/NAME.peak
run() {
    name=$1
    shift
    rm -f "$WORK/ours/data.bin" "$WORK/theirs/data.bin" "$WORK/dd.out"
    sync
    start=$(now_ms)
    /usr/bin/time -o "$WORK/$name.time" -f "%M" "$@" >/dev/null 2>&1
    ms=$(( $(now_ms) - start ))
    kb=$(cat "$WORK/$name.time")
    if [ ! -f "$WORK/$name.best" ] || [ "$ms" -lt "$(cat "$WORK/$name.best")" ]; then echo "$ms" > "$WORK/$name.best"; fi
    if [ ! -f "$WORK/$name.peak" ] || [ "$kb" -gt "$(cat "$WORK/$name.peak")" ]; then echo "$kb" > "$WORK/$name.peak"; fi
}

i=0
while [ "$i" -lt "$ROUNDS" ]; do
    run ours "$PLUGHOST" extract "$WORK/data.uue" --to "$WORK/ours"
    run theirs sh -c "cd '$WORK/theirs' && uudecode '$WORK/data.uue'"
    run floor dd if=/dev/zero of="$WORK/dd.out" bs=1M count="$MIB" status=none
    i=$((i + 1))
done
"$PLUGHOST" extract "$WORK/data.uue" --to "$WORK/ours" >/dev/null 2>&1
(cd "$WORK/theirs" && uudecode "$WORK/data.uue")
cmp "$WORK/data.bin" "$WORK/ours/data.bin"
cmp "$WORK/data.bin" "$WORK/theirs/data.bin"

o=$(cat "$WORK/ours.best"); t=$(cat "$WORK/theirs.best"); f=$(cat "$WORK/floor.best")
echo "size            ${MIB} MiB of data, $(wc -c < "$WORK/data.uue") bytes of text, best of $ROUNDS rounds"
echo "plughost extract ${o} ms   peak $(cat "$WORK/ours.peak") KB"
echo "uudecode         ${t} ms   peak $(cat "$WORK/theirs.peak") KB"
echo "dd write floor   ${f} ms"
echo "ratio uudecode/plughost $(echo "scale=2; $t / $o" | bc -l)"
