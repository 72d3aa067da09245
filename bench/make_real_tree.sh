#!/usr/bin/env bash
# Builds the benchmark tree: about 20,000 real documents and 350 MB, from
# the documentation that Debian packages ship (installed here when missing):
#   docs/linux/      the kernel's documentation (reStructuredText and HTML)
#   docs/python/     Python's library reference (HTML and its text sources)
#   docs/postgresql/ PostgreSQL's manual (HTML)
#   docs/cmake/      CMake's manual (HTML)
#   docs/git/        git's manual pages and guides (text and HTML)
#   mail/            mail files: every kernel document under 20 KB becomes
#                    a message in a thread of its folder, with the headers,
#                    quoted replies and signatures of real mail
# Compressed files are stored decompressed (the tree is of text files).
# The same packages give the same tree: nothing in it is random.
# Usage: bench/make_real_tree.sh OUT_DIR
set -euo pipefail

out=${1:?usage: make_real_tree.sh OUT_DIR}
if [ -e "$out" ] && [ -n "$(ls -A "$out" 2>/dev/null)" ]; then
  echo "$out exists and is not empty." >&2
  exit 2
fi

packages=(linux-doc-6.1 python3.11-doc postgresql-doc-15 cmake-doc git-doc)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update >/dev/null
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
fi

# copy_docs SOURCE TARGET: copies the text, HTML and reStructuredText files
# of SOURCE (following its links to folders once), gz files decompressed;
# the text sources that Sphinx copies beside its HTML pages are left out.
copy_docs() {
  local source=$1 target=$2
  mkdir -p "$target"
  (cd "$source" && find -L . -type f \( -name '*.html' -o -name '*.htm' \
      -o -name '*.txt' -o -name '*.rst' -o -name '*.gz' -o -name 'README*' \
      -o -name '*.adoc' \) -not -path '*/_sources/*' -print0) |
    while IFS= read -r -d '' rel; do
      rel=${rel#./}
      local dest="$target/$rel"
      mkdir -p "$(dirname "$dest")"
      if [[ $rel == *.gz ]]; then
        gzip -dc "$source/$rel" >"${dest%.gz}" 2>/dev/null || rm -f "${dest%.gz}"
      else
        cp "$source/$rel" "$dest"
      fi
    done
}

copy_docs /usr/share/doc/linux-doc-6.1 "$out/docs/linux"
copy_docs /usr/share/doc/python3.11/html "$out/docs/python"
copy_docs /usr/share/doc/postgresql-doc-15 "$out/docs/postgresql"
copy_docs /usr/share/doc/cmake-data/html "$out/docs/cmake" 2>/dev/null ||
  copy_docs /usr/share/doc/cmake-doc "$out/docs/cmake"
copy_docs /usr/share/doc/git-doc "$out/docs/git"

# The mail tree: one folder per kernel documentation folder, one message
# per document under 20 KB, replies quoting the message before them.
mkdir -p "$out/mail"
people=("Ada Lindqvist <ada@lindqvist.example>" "Bruno Okafor <bruno@okafor.example>"
        "Chen Wei <chen.wei@mail.example>" "Dora Halvorsen <dora@halvorsen.example>"
        "Emil Novak <emil.novak@lists.example>" "Farah Qureshi <farah@qureshi.example>"
        "Goran Petrov <goran@petrov.example>" "Hana Sato <hana.sato@example.org>")
n=0
(cd "$out/docs/linux" && find . -type f \( -name '*.rst' -o -name '*.txt' \) -size -20k -print0 | sort -z) |
  while IFS= read -r -d '' rel; do
    rel=${rel#./}
    folder=$(dirname "$rel" | tr '/' '_')
    mkdir -p "$out/mail/$folder"
    count=$(find "$out/mail/$folder" -type f | wc -l)
    from=${people[$((n % 8))]}
    to=${people[$(((n + 3) % 8))]}
    subject=$(grep -m1 -E '^[A-Za-z]' "$out/docs/linux/$rel" | cut -c1-70 || true)
    [ -n "$subject" ] || subject=$(basename "$rel")
    day=$((1 + n % 28))
    msg="$out/mail/$folder/$(printf '%04d' "$count").eml"
    {
      address=${from#*<}
      printf 'Return-Path: <%s\n' "$address"
      printf 'Received: from mx%d.lists.example (mx%d.lists.example [192.0.2.%d])\n\tby mail.example with ESMTPS id %08x\n' \
        $((n % 4)) $((n % 4)) $((n % 250 + 1)) $((n * 2654435761 % 4294967296))
      printf 'From: %s\n' "$from"
      printf 'To: %s\n' "$to"
      if [ "$count" -gt 0 ]; then
        printf 'Subject: Re: %s\n' "$subject"
        printf 'In-Reply-To: <%s.%d@lists.example>\n' "$folder" $((count - 1))
      else
        printf 'Subject: %s\n' "$subject"
      fi
      printf 'Date: %s, %02d Mar 2023 %02d:%02d:%02d +0100\n' \
        "$(echo Mon Tue Wed Thu Fri Sat Sun | cut -d' ' -f$((1 + n % 7)))" \
        "$day" $((n % 24)) $((n * 7 % 60)) $((n * 13 % 60))
      printf 'Message-ID: <%s.%d@lists.example>\n' "$folder" "$count"
      printf 'MIME-Version: 1.0\nContent-Type: text/plain; charset=utf-8\n\n'
      printf 'Hi %s,\n\n' "${to%% *}"
      if [ "$count" -gt 0 ]; then
        prev="$out/mail/$folder/$(printf '%04d' $((count - 1))).eml"
        printf 'On %s, you wrote:\n' "$(grep -m1 '^Date:' "$prev" | cut -c7-)"
        sed -n '/^$/,$p' "$prev" | sed -n '2,12p' | sed 's/^/> /'
        printf '\n'
      fi
      cat "$out/docs/linux/$rel"
      printf '\n-- \n%s\n' "${from%% <*}"
    } >"$msg"
    n=$((n + 1))
  done

files=$(find "$out" -type f | wc -l)
bytes=$(du -sb "$out" | cut -f1)
echo "$out: $files files, $((bytes / 1000000)) MB"
