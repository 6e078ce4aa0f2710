#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 programs, 1 when it does not.
#
# It finds out by running one: a 93-byte static i386 program that only calls
# exit(0). A kernel with 32-bit emulation switched off (ia32_emulation=off)
# refuses it with "Exec format error", and then Wine's i686 loader cannot
# start either. Needs nothing installed.
set -u
# The probe is written into the build area beside this script, not /tmp,
# which may be mounted noexec.
dir="$(cd "$(dirname "$0")/.." && pwd)/build-probe"
mkdir -p "$dir" || exit 1
probe="$dir/runs-32bit"
printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'\
'\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00'\
'\x00\x10\x00\x00\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null || exit 1
