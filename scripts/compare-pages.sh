#!/usr/bin/env bash
# Prints every shipped design with two builds of the program over the same
# data folder and compares the PDF pages pixel for pixel (poppler's cairo
# renderer, 72 dpi): the check that a change to printing leaves the pages as
# they were. Not pdftoppm: its glyph blending can differ by one level in a
# pixel with and without a white background drawn under a text.
#   scripts/compare-pages.sh OLD_LEDORA NEW_LEDORA DATA_FOLDER [MAX_PAGES]
# Exits 1 when any page differs or either build fails; leaves nothing behind.
set -euo pipefail
old=$(realpath "$1") new=$(realpath "$2") data=$(realpath "$3") max=${4:-50}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for report in customers customers-by-name items invoice-list invoices; do
  # Every design of the report's type, as the program lists them.
  type=$(cd "$data" && "$new" print --list | awk -v r="$report" '
    BEGIN { split("Customers Customers Items Invoice_List Invoice", t, " ");
            split("customers customers-by-name items invoice-list invoices", k, " ");
            for (i in k) want[k[i]] = t[i] }
    /^[^ ]/ { gsub(" ", "_"); current = $0; next }
    current == want[r] { sub(/^ +\* /, ""); sub(/^ +/, ""); print }')
  while IFS= read -r design; do
    [ -n "$design" ] || continue
    name="$report-${design// /_}"
    for side in old new; do
      bin=$old; [ $side = new ] && bin=$new
      if ! (cd "$data" && "$bin" print "$report" --design "$design" --pdf "$work/$name-$side.pdf"); then
        echo "$name: the $side build failed"; status=1; continue 2
      fi
      pdftocairo -r 72 -l "$max" -png "$work/$name-$side.pdf" "$work/$name-$side"
    done
    pages=0 differing=0
    for page in "$work/$name"-old-*.png; do
      pages=$((pages + 1))
      other=${page/-old-/-new-}
      if [ ! -f "$other" ] || [ "$(compare -metric AE "$page" "$other" null: 2>&1)" != 0 ]; then
        differing=$((differing + 1))
      fi
    done
    [ "$(ls "$work/$name"-new-*.png | wc -l)" = "$pages" ] || differing=$((differing + 1))
    echo "$name: $pages pages compared, $differing differing"
    [ $differing = 0 ] || status=1
    rm -f "$work/$name"-*
  done <<<"$type"
done
exit $status
