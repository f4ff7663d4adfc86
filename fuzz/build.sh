#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into fuzz/out/. Run a target over its corpus:
#   fuzz/build.sh && fuzz/out/xml_reader_fuzz -dict=fuzz/soap.dict \
#       -max_total_time=300 fuzz/corpus/xml_reader
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/fuzz/out"
flags=(-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$root/src" -I"$root/include")
clang++ "${flags[@]}" -o "$root/fuzz/out/xml_reader_fuzz" \
  "$root/fuzz/xml_reader_fuzz.cpp" "$root"/src/xml/*.cpp "$root/src/platform/wide_ctype.cpp"
