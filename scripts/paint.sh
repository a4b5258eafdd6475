#!/usr/bin/env bash
# The main job: set-up, build the example host, then paint the demonstration (or the script given)
# into ./paint-output/ of the folder it is run from.
# Usage: scripts/paint.sh [tessivarium-paint options and script...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja
cmake --build "$root/build" --parallel "$(nproc)" --target tessivarium-paint
"$root/build/host/tessivarium-paint" "$@"
