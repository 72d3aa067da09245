#!/usr/bin/env bash
# Checks that the engine's folders depend on each other one way, upwards:
# a file may include its own folder and the folders below it, never one
# above it or beside it, and nothing from outside the engine (cli/, app/,
# Qt). Prints every include that breaks the order; exit status 1 if any.
# Usage: scripts/check_layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The floor of each folder, lowest first; folders on the same floor are
# independent of each other. documents/ (the readers of documents, a
# library of its own for the worker process) stands above them all, so that
# nothing in the engine includes it.
declare -A floor=(
  [common]=0
  [text]=1
  [files]=2 [shell]=2 [reading]=2
  [format]=3
  [index]=4 [search]=4
  [report]=5
  [modules]=6
  [documents]=7
)

status=0
while IFS= read -r line; do
  file=${line%%:*}
  rest=${line#*:}
  rest=${rest#*:}
  folder=${file#engine/}
  folder=${folder%%/*}
  if [[ -z ${floor[$folder]+x} ]]; then
    echo "$file: the folder engine/$folder has no floor in $0"
    status=1
    continue
  fi
  if [[ $rest =~ \#include[[:space:]]*[\<\"](cli|app)/ || $rest =~ \#include[[:space:]]*\<Q ]]; then
    echo "$file: the engine includes the front end: $rest"
    status=1
    continue
  fi
  [[ $rest =~ \#include[[:space:]]*\"engine/([a-z_]+)/ ]] || continue
  target=${BASH_REMATCH[1]}
  [[ $target == "$folder" ]] && continue
  if [[ -z ${floor[$target]+x} || ${floor[$target]} -ge ${floor[$folder]} ]]; then
    echo "$file: engine/$folder may not include engine/$target: $rest"
    status=1
  fi
done < <(grep -rn --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include' engine)
exit $status
