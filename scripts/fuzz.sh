#!/usr/bin/env bash
# Builds the fuzz targets (the settings reader; the image readers: the JPEG
# library's bitmap reader and the batch's region reader) with clang and runs
# each briefly. Inputs that crash a target are kept in the build folder, never
# in the work tree.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${FUZZ_SECONDS:-30}"
probe="$(mktemp -d)"
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' >"$probe/p.cpp"
if ! command -v clang++ >/dev/null || ! clang++ -fsanitize=fuzzer,address "$probe/p.cpp" -o "$probe/p" 2>/dev/null; then
  echo "clang++ with libFuzzer not available: fuzzing skipped"
  exit 0
fi
build="$root/build-fuzz"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DORVELLE_FUZZ=ON -DORVELLE_SANITIZE=ON -DORVELLE_BENCH=OFF -DORVELLE_WERROR=ON >/dev/null
cmake --build "$build" --target profile_fuzz image_fuzz -j"$(nproc)"
run() {
  local target="$1" seeds="$2" max_len="$3"
  local corpus="$build/corpus-$target"
  mkdir -p "$corpus"
  cp "$seeds"/* "$corpus/"
  echo "== $target"
  # The fuzzer's own memory limit: under AddressSanitizer ulimit -v breaks it.
  "$build/bin/$target" -rss_limit_mb=2048 -malloc_limit_mb=1024 -artifact_prefix="$build/" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 "$corpus" 2>&1 | tail -n 6
}
run profile_fuzz "$root/tests/fuzz/corpus" 4096
QT_QPA_PLATFORM=offscreen run image_fuzz "$root/tests/fuzz/images" 8192
echo "fuzzing: no crash in ${seconds} s for each target"
