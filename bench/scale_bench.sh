#!/usr/bin/env bash
# The index at scale: indexes a large tree with `orvane index` (the store,
# no classic data file) under /usr/bin/time -v and prints the run's time,
# its peak resident memory, the index and store sizes against the tree's
# bytes, and whole `orvane search` runs beside `orvane --version` (medians
# of 5 runs each).
#
# Usage: bench/scale_bench.sh [--files N] [--build DIR] [--reuse] WORK
#        bench/scale_bench.sh --kernel [--build DIR] [--reuse] WORK
#
# Without --kernel the tree is WORK/tree, N files (default 1,000,000) of
# about 1 KB written by orvane_make_tree with the words of Debian's
# wamerican word list drawn with Zipf's law (the package is installed when
# missing). With --kernel it is the Linux kernel's sources of Debian's
# linux-source-6.1 package (installed when missing), unpacked into WORK.
# WORK is made when missing; --reuse keeps a tree that an earlier run left
# there. The index and store go to WORK/out.
set -euo pipefail

files=1000000
build=build
kernel=0
reuse=0
while [ $# -gt 1 ]; do
  case $1 in
    --files) files=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --kernel) kernel=1; shift ;;
    --reuse) reuse=1; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
work=${1:?usage: scale_bench.sh [--files N | --kernel] [--build DIR] [--reuse] WORK}
program=$(realpath "$build/orvane")
make_tree=$(realpath "$build/orvane_make_tree")
mkdir -p "$work"
work=$(realpath "$work")

# install PACKAGE...: installs the Debian packages that are missing.
install() {
  local missing=() p
  for p in "$@"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
  [ "${#missing[@]}" -eq 0 ] && return
  local sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  if ! "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null; then
    "${sudo_cmd[@]}" apt-get update >/dev/null
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# now_ns: the clock in nanoseconds.
now_ns() { date +%s%N; }

# median_ms COMMAND...: runs COMMAND 5 times (output dropped) and prints
# the median wall time in milliseconds.
median_ms() {
  local times=() i start
  for i in 1 2 3 4 5; do
    start=$(now_ns)
    "$@" >/dev/null 2>&1 || true
    times+=($(( $(now_ns) - start )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 3p |
    awk '{ printf "%.1f", $1 / 1e6 }'
}

tree=$work/tree
queries=()
if [ "$kernel" -eq 1 ]; then
  install linux-source-6.1 xz-utils
  if [ "$reuse" -eq 0 ] || [ ! -d "$tree" ]; then
    rm -rf "$tree"
    mkdir -p "$tree"
    start=$(now_ns)
    tar -xJf /usr/src/linux-source-6.1.tar.xz -C "$tree"
    echo "unpacked the kernel's sources in $(( ($(now_ns) - start) / 1000000 )) ms"
  fi
  queries=("any:syzkaller" "all:mutex unlock" "any:schedul*"
           "sorted:return")
else
  install wamerican
  if [ "$reuse" -eq 0 ] || [ ! -s "$work/words.txt" ]; then
    rm -rf "$tree"
    start=$(now_ns)
    "$make_tree" --out "$tree" --files "$files" --mean-size 1000 \
      --word-list /usr/share/dict/words >"$work/words.txt"
    echo "generated the tree in $(( ($(now_ns) - start) / 1000000 )) ms"
  fi
  head -1 "$work/words.txt"
  word() { sed -n "s/^$1: //p" "$work/words.txt"; }
  queries=("any:$(word rare)" "all:$(word pair)" "any:$(word stem)"
           "sorted:$(word common)")
fi
tree_files=$(find "$tree" -type f | wc -l)
tree_bytes=$(du -sb --apparent-size "$tree" | cut -f1)

out=$work/out
rm -rf "$out"
mkdir -p "$out"
sync
echo "indexing $tree_files files, $(( tree_bytes / 1048576 )) MB ..."
/usr/bin/time -v -o "$work/time.txt" "$program" index --top "$tree" \
  --out "$out" --project scale --title "Scale" --include-all --subsub \
  --min-size 0 --no-documents --overwrite --quiet >"$work/index.txt" 2>&1 || {
  tail -5 "$work/index.txt" >&2
  exit 1
}
tail -1 "$work/index.txt"
wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
rss_kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
index_bytes=$(stat -c %s "$out/scale_index.tavo")
store_bytes=$(stat -c %s "$out/scale_store.tavo")
echo "index run: $wall (h:mm:ss or m:ss), peak resident memory $(( rss_kb / 1024 )) MB"
awk -v i="$index_bytes" -v s="$store_bytes" -v t="$tree_bytes" 'BEGIN {
  printf "index file + store: %.1f MB + %.1f MB = %.1f MB, %.3f x the tree'"'"'s %.1f MB\n",
    i / 1048576, s / 1048576, (i + s) / 1048576, (i + s) / t, t / 1048576 }'

echo "whole runs, medians of 5 (the search beside --version):"
index=$out/scale_index.tavo
# The first search finds the store beside the index; nothing is built.
"$program" search --index "$index" --top "$tree" the >/dev/null 2>&1 || true
for q in "${queries[@]}"; do
  kind=${q%%:*}
  read -r -a words <<<"${q#*:}"
  args=(search --index "$index" --top "$tree")
  case $kind in
    any) args+=(--type any) ;;
    all) args+=(--type all) ;;
    sorted) args+=(--type any --sort) ;;
  esac
  found=$("$program" "${args[@]}" "${words[@]}" 2>/dev/null | tail -1 || true)
  search=$(median_ms "$program" "${args[@]}" "${words[@]}")
  version=$(median_ms "$program" --version)
  printf '  %-7s %-28s %8s ms  --version %6s ms  (%s)\n' "$kind" \
    "${words[*]}" "$search" "$version" "$found"
done
