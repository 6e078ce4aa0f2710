#!/bin/sh
# Decoding speed against GNU uudecode (package sharutils), on the same text in
# the same run. Native builds only; not part of the test suite.
#
#   bench/decode_bench.sh [MIB] [BUILD_DIR]
#
# Makes MIB mebibytes (default 128) of pseudo-random bytes, encodes them with
# uuencode, reads the text once so that both decoders read it from the page
# cache, then times `plughost extract` and `uudecode` on it (best of three
# each), and `dd` writing as many bytes (the write floor). Prints the times,
# the ratio uudecode / plughost, and the peak resident memory of each.
set -eu
MIB=${1:-128}
BUILD=${2:-build}
PLUGHOST="$BUILD/bin/plughost"
[ -x "$PLUGHOST" ] || { echo "no $PLUGHOST; build it first" >&2; exit 2; }
command -v uudecode >/dev/null || { echo "uudecode missing (package sharutils)" >&2; exit 2; }
WORK=$(mktemp -d "${TMPDIR:-/tmp}/decode_bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

head -c $((MIB * 1048576)) /dev/urandom > "$WORK/data.bin"
(cd "$WORK" && uuencode data.bin data.bin > data.uue)
cat "$WORK/data.uue" > /dev/null
mkdir "$WORK/ours" "$WORK/theirs"

# best SECONDS and peak KB of three runs of a command: "seconds kb"
best() {
    b=""; m=0
    for i in 1 2 3; do
        rm -f "$WORK/ours/data.bin" "$WORK/theirs/data.bin" "$WORK/dd.out"
        out=$(/usr/bin/time -f "%e %M" "$@" 2>&1 >/dev/null | tail -1)
        s=${out% *}; k=${out#* }
        if [ -z "$b" ] || [ "$(echo "$s < $b" | bc -l)" = 1 ]; then b=$s; fi
        [ "$k" -gt "$m" ] && m=$k
    done
    echo "$b $m"
}

ours=$(best "$PLUGHOST" extract "$WORK/data.uue" --to "$WORK/ours")
theirs=$(best sh -c "cd '$WORK/theirs' && uudecode '$WORK/data.uue'")
floor=$(best dd if=/dev/zero of="$WORK/dd.out" bs=1M count="$MIB" status=none)
"$PLUGHOST" extract "$WORK/data.uue" --to "$WORK/ours" >/dev/null 2>&1
(cd "$WORK/theirs" && uudecode "$WORK/data.uue")
cmp "$WORK/data.bin" "$WORK/ours/data.bin"
cmp "$WORK/data.bin" "$WORK/theirs/data.bin"

o=${ours% *}; t=${theirs% *}; f=${floor% *}
echo "size            ${MIB} MiB of data, $(wc -c < "$WORK/data.uue") bytes of text"
echo "plughost extract ${o} s   peak ${ours#* } KB"
echo "uudecode         ${t} s   peak ${theirs#* } KB"
echo "dd write floor   ${f} s"
echo "ratio uudecode/plughost $(echo "scale=2; $t / $o" | bc -l)"
