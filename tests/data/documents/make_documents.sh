#!/usr/bin/env bash
# Writes the documents of the reader tests with the programs that make such
# documents for real: pandoc (.docx .odt .epub .pptx), groff (.pdf),
# LibreOffice (.xlsx .ods .odp), qpdf (an encrypted PDF), zip (a zip bomb)
# and the compressors. The documents are kept in the repository (a few KB
# each), so the tests need none of these programs; run this again only to
# change them: bash tests/data/documents/make_documents.sh
set -euo pipefail
cd "$(dirname "$0")"
for tool in pandoc groff qpdf soffice zip zipnote gzip bzip2 xz zstd; do
  command -v "$tool" >/dev/null ||
    { echo "$tool is missing (Debian: pandoc groff qpdf libreoffice-calc-nogui libreoffice-impress-nogui zip)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The text of the word-processing documents, the book and the slides: two
# parts with a word of their own each, an accented word and typographic
# quotes (UTF-8 that becomes Windows-1252 content).
cat >"$work/notes.md" <<'TEXT'
---
title: Field Notes on Garden Visitors
---

# Morning

The aardvark visited the garden at dawn. A “curious” café owner watched.

# Evening

The bumblebee rested on the lavender, and the chameleon stayed hidden.
TEXT
for format in docx odt epub pptx; do
  pandoc --from markdown --to "$format" -o "notes.$format" "$work/notes.md"
done

# A PDF of three pages, one animal a page, with a title in its information
# dictionary.
groff -ms -Tpdf >notes.pdf <<'TEXT'
.pdfinfo /Title Field Notes on Garden Visitors
.TL
Field Notes on Garden Visitors
.PP
The aardvark visited the garden at dawn.
.bp
.PP
The bumblebee rested on the lavender.
.bp
.PP
The chameleon stayed hidden.
TEXT
# Encrypted with a password to open it, and with an owner password only
# (which anyone may open).
qpdf --encrypt secret owner 256 -- notes.pdf encrypted.pdf
qpdf --encrypt "" owner 256 -- notes.pdf owner-only.pdf
# Cut in the middle, as an interrupted download leaves it.
head -c "$(( $(stat -c %s notes.pdf) / 2 ))" notes.pdf >cut.pdf
head -c "$(( $(stat -c %s notes.docx) / 2 ))" notes.docx >cut.docx

# A spreadsheet of two rows under a heading row, and slides, by LibreOffice.
printf 'Animal,Count,Where\naardvark,3,garden\nbumblebee,12,lavender\n' >"$work/visits.csv"
soffice -env:UserInstallation=file://$work/profile --headless --convert-to xlsx --outdir "$work" "$work/visits.csv" >/dev/null
soffice -env:UserInstallation=file://$work/profile --headless --convert-to ods --outdir "$work" "$work/visits.csv" >/dev/null
soffice -env:UserInstallation=file://$work/profile --headless --convert-to odp --outdir "$work" notes.pptx >/dev/null
cp "$work/visits.xlsx" "$work/visits.ods" .
cp "$work/notes.odp" .

# Plain text compressed by each compressor.
printf 'Compressed notes\r\nThe aardvark came back.\r\n' >"$work/compressed.txt"
gzip -9 -n -c "$work/compressed.txt" >compressed.txt.gz
bzip2 -9 -c "$work/compressed.txt" >compressed.txt.bz2
xz -9 -c "$work/compressed.txt" >compressed.txt.xz
zstd -q -19 -c "$work/compressed.txt" >compressed.txt.zst

# Zip bombs: a .docx whose document part inflates to 4 GiB (bzip2 in the
# zip, a few KB on disk), and a .bz2 that does.
mkdir "$work/bomb"
(cd "$work/bomb" && unzip -q "$OLDPWD/notes.docx" &&
  zip -q -X -D ../bomb.docx '[Content_Types].xml' _rels/.rels &&
  head -c 4G /dev/zero | zip -q -X -Z bzip2 ../bomb.docx - &&
  printf '@ -\n@=word/document.xml\n' | zipnote -w ../bomb.docx)
cp "$work/bomb.docx" bomb.docx
head -c 4G /dev/zero | bzip2 -9 >bomb.txt.bz2
ls -l
