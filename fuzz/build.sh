#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into fuzz/out/ (objects under fuzz/out/obj,
# rebuilt when a source or header changes). Run a target over its corpus:
#   fuzz/build.sh && fuzz/out/xml_reader_fuzz -dict=fuzz/soap.dict \
#       -max_total_time=300 fuzz/corpus/xml_reader
#   fuzz/out/request_fuzz -dict=fuzz/soap.dict -max_total_time=300 \
#       -rss_limit_mb=4096 fuzz/corpus/request
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
make --no-print-directory -j"${JOBS:-2}" -f "$root/fuzz/fuzz.mk" ROOT="$root"
