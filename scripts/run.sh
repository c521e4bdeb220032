#!/usr/bin/env bash
# Builds Tourwise and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
tourwise_install_missing "${TOURWISE_BUILD_PACKAGES[@]}"

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOURWISE_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target tourwise
exec build/release/app/tourwise "$@"
