#!/usr/bin/env bash
# Set-up, configure, build and run every test. Usage: scripts/test.sh [build-dir] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
shift || true

scripts/setup.sh
cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" --parallel "$(nproc)"
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" --timeout 300
