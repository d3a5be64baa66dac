#!/usr/bin/env bash
# scripts/fuzz.sh smoke            every fuzzer for a short while (FUZZ_SECONDS, default 30)
# scripts/fuzz.sh run NAME [RUNS]  one fuzzer for RUNS executions (default 10 million)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
CC=clang CXX=clang++ bash scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXLAR_FUZZ=ON
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=offscreen
run_one() {
  local name=$1; shift
  local corpus=fuzz/corpus/$name work=build-fuzz/corpus/$name
  mkdir -p "$work"
  local seeds=()
  [[ -d $corpus ]] && seeds=("$corpus")
  (cd build-fuzz && "bin/$name" -rss_limit_mb=4096 -max_len=65536 "$@" "../$work" "${seeds[@]/#/../}")
}
case ${1:-smoke} in
  smoke)
    shopt -s nullglob
    for exe in build-fuzz/bin/fuzz_*; do
      name=$(basename "$exe")
      echo "-- $name"
      log=build-fuzz/$name.log
      if ! run_one "$name" -max_total_time="${FUZZ_SECONDS:-30}" -print_final_stats=1 >"$log" 2>&1; then
        tail -n 80 "$log"
        echo "fuzzer $name failed (log: $log)" >&2
        exit 1
      fi
      grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" || true
    done ;;
  run)
    run_one "$2" -runs="${3:-10000000}" -print_final_stats=1 ;;
  *) echo "usage: $0 smoke | run NAME [RUNS]" >&2; exit 2 ;;
esac
