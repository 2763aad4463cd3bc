#!/usr/bin/env bash
# Prints how large the tests are against the program: non-blank lines of C++,
# C, Python and shell in tests/ against those of the production code (all but
# tests/, bench/, scripts/, demo/ and resources/tools/). The rule is at most 0.35.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files -co --exclude-standard -- "$@" | grep -E '\.(cpp|h|hpp|c|py|sh)$' | xargs cat | grep -cv '^\s*$'; }
production=$(count . ':!tests' ':!bench' ':!scripts' ':!demo' ':!resources/tools')
tests=$(count tests)
awk -v t="$tests" -v p="$production" \
  'BEGIN { printf "tests/: %d non-blank lines against %d of production code: ratio %.2f (at most 0.35)\n", t, p, t / p }'
