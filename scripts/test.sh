#!/usr/bin/env bash
# Builds and runs every test: the Release build, the sanitizer build
# (AddressSanitizer + UndefinedBehaviorSanitizer) and a short run of each fuzzer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh

jobs=$(nproc)
echo "== Release build and tests"
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=Release
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Sanitizer build and tests"
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXLAR_SANITIZE=ON -DVEXLAR_BENCH=OFF
# The two whole-run tests (the full demo captured headless, the data generator
# run twice) exercise
# nothing the other cases do not, and take many minutes under the sanitizers:
# they run in the Release pass above.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" \
  -E '^(DemoRun\.WholeDemoCapturedHeadless|Tool\.GivesTheSameBytesOnEveryRun)$'

echo "== Fuzz smoke runs"
bash scripts/fuzz.sh smoke
