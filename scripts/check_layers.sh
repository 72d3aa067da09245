#!/usr/bin/env bash
# Checks that the folders of the engine and of the windows depend on each
# other one way, upwards: a file may include its own folder and the folders
# below it, never one above it or beside it. The engine includes nothing
# from outside it (cli/, app/, Qt); the windows include nothing of the
# command line, which only the program's main.cpp joins to them. Prints every include that breaks the order; exit status 1 if
# any.
# Usage: scripts/check_layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The floor of each folder, lowest first; folders on the same floor are
# independent of each other. documents/ (the readers of documents, a
# library of its own for the worker process) stands above them all, so that
# nothing in the engine includes it.
declare -A floor=(
  [engine/common]=0
  [engine/text]=1
  [engine/files]=2 [engine/shell]=2 [engine/reading]=2
  [engine/format]=3 [engine/store]=3
  [engine/index]=4 [engine/search]=4
  [engine/report]=5
  [engine/modules]=6
  [engine/documents]=7
  # app/'s root holds the Qt adapters of the ports and the string helpers
  # at the bottom, and the launcher, the pictures and the entry points at
  # the top, above every window.
  [app/base]=0
  [app/shell]=1
  [app/files]=2
  [app/index]=3 [app/search]=3
  [app/top]=4
)
declare -A app_top=(
  [frmMain]=1 [screenshots]=1 [windows_entry]=1 [main]=1
)

# The layer of a source file or an included path: engine/FOLDER, app/FOLDER,
# app/base or app/top for a file at app/'s root.
layer_of() {
  local path=$1 area=${1%%/*} rest=${1#*/}
  if [[ $rest != */* ]]; then
    local stem=${rest%.*}
    if [[ $area == app && -n ${app_top[$stem]+x} ]]; then
      echo app/top
    else
      echo "$area/base"
    fi
    return
  fi
  echo "$area/${rest%%/*}"
}

status=0
while IFS= read -r line; do
  file=${line%%:*}
  rest=${line#*:}
  rest=${rest#*:}
  area=${file%%/*}
  layer=$(layer_of "$file")
  if [[ -z ${floor[$layer]+x} ]]; then
    echo "$file: the folder $layer has no floor in $0"
    status=1
    continue
  fi
  if [[ $area == engine ]] &&
     [[ $rest =~ \#include[[:space:]]*[\<\"](cli|app)/ || $rest =~ \#include[[:space:]]*\<Q ]]; then
    echo "$file: the engine includes the front end: $rest"
    status=1
    continue
  fi
  if [[ $area == app && $file != app/main.cpp && $rest =~ \#include[[:space:]]*\"cli/ ]]; then
    echo "$file: the windows include the command line: $rest"
    status=1
    continue
  fi
  [[ $rest =~ \#include[[:space:]]*\"($area/[A-Za-z0-9_./]+)\" ]] || continue
  target=$(layer_of "${BASH_REMATCH[1]}")
  [[ $target == "$layer" ]] && continue
  if [[ -z ${floor[$target]+x} || ${floor[$target]} -ge ${floor[$layer]} ]]; then
    echo "$file: $layer may not include $target: $rest"
    status=1
  fi
done < <(grep -rn --include='*.h' --include='*.cpp' \
           '^[[:space:]]*#[[:space:]]*include' engine app)
exit $status
