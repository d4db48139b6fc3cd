#!/usr/bin/env bash
# Makes the pictures of the shipped designs that the README and the user
# guide show: the program prints each report of a small sample data folder
# to PDF, and the first page of each becomes docs/guide/designs/NAME.png.
# Run it after changing reports/shipped_reports.txt, so they stay true.
#   scripts/design-pictures.sh [PROGRAM]     (default build/release/ledora)
set -euo pipefail
cd "$(dirname "$0")/.."
program="$(realpath "${1:-build/release/ledora}")"
out="$PWD/docs/guide/designs"
resolution=60 # dots per inch: a whole page stays readable and small

data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
cd "$data"

cat >customers.csv <<'EOF'
CUS:CUSTOMERID,CUS:NAME,CUS:ADDRESS1,CUS:ADDRESS2,CUS:TELEFON,CUS:TELEFAX
1,Albrecht Print Shop,116 Park Avenue,40313 Madison,041 808491,041 808492
2,Bergmann Tools,12 Harbour Street,24103 Kiel,0431 55501,0431 55502
3,Eva Dietrich,94 Main Street,57340 Bristol,096 715723,
4,Hoffmann Flowers,97 River Road,31323 Riverside,035 890647,035 890648
5,Jung Garage,89 Church Lane,59349 Madison,062 199020,062 199021
6,Neumann Bakery,33 Park Avenue,40313 Madison,068 469031,
7,Richter Optics,117 High Street,24103 Kiel,053 254537,053 254538
8,Zimmermann Optics,38 Station Road,57340 Bristol,079 687340,
EOF
cat >items.csv <<'EOF'
ITE:ITEMNR,ITE:DESCRIPTION,ITE:PRICE
1,"Copy paper A4, 500 sheets",5.49
2,"Ballpoint pens, box of 10",3.99
3,Stapler,12.90
4,"Printer toner, black",64.90
5,Whiteboard 90x60,59.00
6,"Notebook A5, ruled",2.99
7,Calculator,19.90
8,"Labels, 3 rolls",24.90
EOF
cat >invoices.csv <<'EOF'
INV:NUMBER,INV:CUSTOMERID,INV:INVOICEDATE,INV:SALES
1001,2,2025-03-03,340.86
1002,5,2025-03-05,119.40
1003,7,2025-03-10,64.90
EOF
cat >lines.csv <<'EOF'
INVL:INVOICENR,INVL:LINENR,INVL:ITEMNR,INVL:QUANTITY,INVL:PRICE
1001,1,1,10,54.90
1001,2,2,4,15.96
1001,3,4,2,129.80
1001,4,5,1,59.00
1001,5,8,3,74.70
1001,6,6,2,5.98
1002,1,7,6,119.40
1003,1,4,1,64.90
EOF
"$program" import CUSTOMER customers.csv
"$program" import ITEMS items.csv
"$program" import INVOICES invoices.csv
"$program" import INVOICEL lines.csv

mkdir -p "$out"
picture() { # NAME REPORT [OPTIONS...]
  local name="$1"
  shift
  "$program" print "$@" --pdf "$name.pdf"
  pdftoppm -png -r "$resolution" -f 1 -l 1 -singlefile "$name.pdf" "$out/$name"
  echo "docs/guide/designs/$name.png"
}
picture invoice invoices --from 1001 --to 1001
picture customer-list customers
picture customers-by-name customers-by-name
picture item-list items
picture invoice-list invoice-list
