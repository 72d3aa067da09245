#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang and libFuzzer, with
# AddressSanitizer and UndefinedBehaviorSanitizer, into build-fuzz/, and runs
# one or all of them for a given time each, one after another. Prints each
# target's executions, coverage and findings. A crash, a sanitizer report,
# an input slower than the time limit or a process past the memory limits is
# kept as a file under fuzz/findings/TARGET/, which the test suite replays
# from then on: fix it before committing it.
#
# Usage: scripts/fuzz.sh TARGET|all [SECONDS] [libFuzzer options...]
#        scripts/fuzz.sh list
# SECONDS defaults to 60. Exit status: 0 no findings, 1 findings, 2 usage.
# ORVANE_FUZZ_BUILD_DIR (build-fuzz) and ORVANE_BUILD_JOBS (all processors)
# change the build; the inputs found to add coverage collect in
# build-fuzz/corpus/TARGET and make the next run start further on.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=()
for source in fuzz/*_fuzzer.cpp; do
  name=${source#fuzz/}
  targets+=("${name%_fuzzer.cpp}")
done

usage() {
  echo "Usage: scripts/fuzz.sh TARGET|all [SECONDS] [libFuzzer options...]" >&2
  echo "Targets: ${targets[*]}" >&2
  exit 2
}

[ $# -ge 1 ] || usage
if [ "$1" = list ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
chosen=()
if [ "$1" = all ]; then
  chosen=("${targets[@]}")
else
  for t in "${targets[@]}"; do [ "$t" = "$1" ] && chosen=("$1"); done
  [ ${#chosen[@]} -eq 1 ] || usage
fi
seconds=${2:-60}
[[ "$seconds" =~ ^[0-9]+$ ]] || usage
shift $(( $# >= 2 ? 2 : 1 ))
extra_options=("$@")

# clang with libFuzzer; Debian keeps libFuzzer in the compiler runtime
# package, which a plain clang install may lack.
bash scripts/install_missing.sh cmake ninja-build pkg-config libzstd-dev \
  libxxhash-dev libpoppler-cpp-dev libarchive-dev libpugixml-dev clang
fuzzer_works() {
  echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
    clang++ -x c++ - -fsanitize=fuzzer -o /dev/null >/dev/null 2>&1
}
fuzzer_works || bash scripts/install_missing.sh libclang-rt-dev
fuzzer_works || { echo "clang cannot link libFuzzer (-fsanitize=fuzzer)." >&2; exit 1; }

build_dir=${ORVANE_FUZZ_BUILD_DIR:-build-fuzz}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVANE_FUZZ=ON "${launcher[@]}" >/dev/null
build_targets=()
for t in "${chosen[@]}"; do build_targets+=("fuzz_$t"); done
cmake --build "$build_dir" -j "${ORVANE_BUILD_JOBS:-$(nproc)}" --target "${build_targets[@]}"

# The targets write each input as a file: into memory where there is room.
[ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build_dir/logs"
summary=()
findings_total=0
for t in "${chosen[@]}"; do
  work="$build_dir/corpus/$t"
  findings="fuzz/findings/$t"
  log="$build_dir/logs/$t.log"
  mkdir -p "$work" "$findings"
  before=$(ls "$findings")
  seeds=("fuzz/corpus/$t")
  # As in fuzz/CMakeLists.txt: the sample tree seeds the readers of files.
  case $t in file_checks|html_markup) seeds+=(data/sample) ;; esac
  case $t in zip_document) seeds+=(tests/data/documents) ;; esac
  dictionary=()
  [ -f "fuzz/dict/$t.dict" ] && dictionary=(-dict="fuzz/dict/$t.dict")
  echo "Fuzzing $t for $seconds s (log: $log)"
  # New inputs go to the first folder; the seeds are only read. The limits
  # are those a user would accept: 10 s and 1 GiB at once for one input.
  set +e
  "$build_dir/fuzz_$t" "$work" "${seeds[@]}" "${dictionary[@]}" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -malloc_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="$findings/" "${extra_options[@]}" >"$log" 2>&1
  set -e
  executions=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
  features=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
  new=$(comm -13 <(echo "$before") <(ls "$findings") | sed '/^$/d' || true)
  count=$(echo -n "$new" | grep -c . || true)
  findings_total=$((findings_total + count))
  line=$(printf '%-16s %12s executions  coverage %6s edges %7s features  findings: %s' \
    "$t" "${executions:-?}" "${coverage:-?}" "${features:-?}" \
    "$([ "$count" -eq 0 ] && echo none || echo "$count")")
  echo "$line"
  summary+=("$line")
  for f in $new; do
    echo "  kept $findings/$f"
    summary+=("  kept $findings/$f")
    grep -m1 -E 'ERROR: |runtime error|orvane fuzz:' "$log" | sed 's/^/  /' || true
  done
done

echo
printf '%s\n' "${summary[@]}"
if [ "$findings_total" -gt 0 ]; then
  echo "$findings_total findings; the logs are in $build_dir/logs/."
  exit 1
fi
echo "No findings."
