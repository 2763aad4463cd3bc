#!/usr/bin/env bash
# Fails when a C++ file of the project is not clang-format clean.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
  echo "clang-format not found: format check skipped"
  exit 0
fi
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "format: clean"
