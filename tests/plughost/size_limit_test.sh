#!/bin/sh
# A write past the file-size limit (ulimit -f) fails like any failing write:
# plughost is not killed mid-write, the plugin's abort path runs, and the
# storage and the encoder's output are left exactly as they were.
# usage: size_limit_test.sh PLUGHOST PLUGINS_DIR WORK_DIR
set -u
plughost=$1 plugins=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
export PLUGHOST_REGISTRY="$work/settings.reg"
fail() { echo "FAIL: $*"; exit 1; }

printf 'hello' > tiny.txt
head -c 300000 /dev/urandom > big.bin
"$plughost" --plugins "$plugins" encode --target . tiny.txt > /dev/null || fail "encode tiny.txt"
cp tiny.uue storage.uue && cp storage.uue before.uue

# 64 KiB limit: the storage may grow only a little before a write fails.
( ulimit -f 64; "$plughost" --plugins "$plugins" put storage.uue big.bin > put.log 2>&1 )
status=$?
[ $status -lt 128 ] || fail "put ended by signal $((status - 128))"
cmp -s storage.uue before.uue || fail "the storage changed after a failing put"

( ulimit -f 64; "$plughost" --plugins "$plugins" encode --target . big.bin > encode.log 2>&1 )
status=$?
[ $status -lt 128 ] || fail "encode ended by signal $((status - 128))"
grep -q 'not encoded big.bin' encode.log || fail "encode did not report big.bin as not encoded"
[ ! -e big.uue ] || fail "a partial big.uue was left"
echo "ok"
