#!/bin/sh
# Runs one fuzz target for a bounded time, as ctest and `make fuzz` both do:
#   run_fuzzer.sh BINARY SECONDS MAX_LEN SEED_FOLDER...
# New inputs go to BINARY's folder, <target>_corpus/ (the seed folders stay as they are), and a
# finding to <target>_crashes/. The memory limit makes an allocation driven by a count in a
# file's header a finding: any one allocation, or the whole process, above 512 MB. The
# sanitizer's quarantine of freed memory is kept to 64 MB (of its 256) so that a long run stays
# well below that limit.
set -eu
binary=$1 seconds=$2 max_len=$3
shift 3
name=$(basename "$binary")
out=$(cd "$(dirname "$binary")" && pwd)
mkdir -p "$out/${name}_corpus" "$out/${name}_crashes"
export ASAN_OPTIONS="quarantine_size_mb=64${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
exec "$binary" "$out/${name}_corpus" "$@" -max_total_time="$seconds" -max_len="$max_len" \
  -timeout=20 -rss_limit_mb=512 -malloc_limit_mb=512 -print_final_stats=1 \
  -artifact_prefix="$out/${name}_crashes/" </dev/null
