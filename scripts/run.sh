#!/usr/bin/env bash
# Builds the program and starts it on the program folder of the build tree
# (build/programme: the first start there shows the first-run messages).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
exec build/programme/Ferrune
