#!/usr/bin/env bash
# Builds a folder of real documents for orvane_bench_documents: the PDF
# manuals of Debian's TeX documentation packages, the text of packages'
# copyright files turned into .docx, .odt, .epub and .pptx by pandoc, and
# gzip-compressed changelogs, all from /usr/share/doc. Installs what is
# missing (pandoc, pdftotext and the documentation packages).
# Usage: bench/make_document_tree.sh OUT [PDFS [TEXTS [CHANGELOGS]]]
#   PDFS: how many PDFs (default 600); TEXTS: how many texts to convert to
#   each of the four formats (default 150); CHANGELOGS: how many .gz
#   (default 200). The choice is by sorted path, so the same machine gives
#   the same tree.
set -euo pipefail
[ $# -ge 1 ] || { sed -n '2,11p' "$0" >&2; exit 2; }
out=$1
pdfs=${2:-600}
texts=${3:-150}
changelogs=${4:-200}
cd "$(dirname "$0")/.."
bash scripts/install_missing.sh pandoc poppler-utils texlive-latex-base-doc \
  texlive-latex-recommended-doc texlive-science-doc texlive-humanities-doc
mkdir -p "$out/pdf" "$out/office" "$out/compressed"

# Names are made unique by the package's folder. awk, not head, takes the
# first lines: a pipe that ends early would fail the script (pipefail).
unique_name() { echo "$1" | sed 's|^/usr/share/doc/||; s|/|_|g'; }

find /usr/share/doc -name '*.pdf' -type f | sort | awk -v n="$pdfs" 'NR <= n' |
  while IFS= read -r file; do
    cp "$file" "$out/pdf/$(unique_name "$file")"
  done

find /usr/share/doc -name copyright -type f -size +2k | sort | awk -v n="$texts" 'NR <= n' |
  while IFS= read -r file; do
    base="$out/office/$(unique_name "$(dirname "$file")")"
    for format in docx odt epub pptx; do
      # A copyright file is plain text; as Markdown its paragraphs stay.
      pandoc --from markdown --to "$format" --metadata title="$(basename "$(dirname "$file")")" \
        -o "$base.$format" "$file" 2>/dev/null ||
        echo "pandoc could not convert $file to $format" >&2
    done
  done

find /usr/share/doc -name 'changelog*.gz' -type f | sort | awk -v n="$changelogs" 'NR <= n' |
  while IFS= read -r file; do
    cp "$file" "$out/compressed/$(unique_name "$file")"
  done

echo "$out: $(find "$out/pdf" -type f | wc -l) PDFs," \
  "$(find "$out/office" -type f | wc -l) office documents," \
  "$(find "$out/compressed" -type f | wc -l) compressed texts," \
  "$(du -sh "$out" | cut -f1)"
