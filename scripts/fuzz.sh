#!/usr/bin/env bash
# Builds the settings reader's fuzz target with clang and runs it briefly.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${FUZZ_SECONDS:-30}"
if ! command -v clang++ >/dev/null; then
  echo "clang++ not found: fuzzing skipped"
  exit 0
fi
build="$root/build-fuzz"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DORVELLE_FUZZ=ON -DORVELLE_SANITIZE=ON -DORVELLE_BENCH=OFF >/dev/null
cmake --build "$build" --target profile_fuzz -j"$(nproc)"
corpus="$build/corpus"
mkdir -p "$corpus"
cp "$root"/tests/fuzz/corpus/* "$corpus/"
"$build/bin/profile_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
echo "fuzzing: no crash in ${seconds} s"
