#!/bin/sh
# png-to-ico.sh OUT.ico A.png B.png ...: an icon file holding the PNG images
# as they are (Windows Vista and later read PNG-compressed icon images).
# Each PNG's size is read from its header; a 256-pixel image is written as 0.
set -eu
out=$1
shift

# le16 N, le32 N: N as little-endian bytes.
le16() { printf "$(printf '\\%03o\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
# png_dimension FILE OFFSET: the big-endian 32-bit number at OFFSET (16: width, 20: height).
png_dimension() { od -An -tu1 -j"$2" -N4 "$1" | awk '{ print (($1 * 256 + $2) * 256 + $3) * 256 + $4 }'; }

count=$#
offset=$((6 + 16 * count))
{
  le16 0
  le16 1
  le16 "$count"
  for png in "$@"; do
    width=$(png_dimension "$png" 16)
    height=$(png_dimension "$png" 20)
    size=$(wc -c <"$png")
    printf "$(printf '\\%03o\\%03o' $((width & 255)) $((height & 255)))"
    printf '\000\000'
    le16 1
    le16 32
    le32 "$size"
    le32 "$offset"
    offset=$((offset + size))
  done
  cat "$@"
} >"$out"
