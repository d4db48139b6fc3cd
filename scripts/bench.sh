#!/usr/bin/env bash
# Runs the benchmarks behind the speed table and prints it. Every figure is a
# ratio against its peer measured in the same run: repetitions interleaved in
# random order, the median of each side. Absolute times on a shared machine
# mean little; the ratios are what to compare.
#   scripts/bench.sh [BUILD_DIR]   (default build/release; builds what it runs)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
reps=${BENCH_REPETITIONS:-5}
benches=(file_manager_bench browse_bench data_jobs_bench invoice_report_bench)
[ -n "${BENCH_NO_BUILD:-}" ] || cmake --build "$build" --target ledora "${benches[@]}" -j2 >/dev/null

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

run() {  # run NAME [FILTER]
  local filter=${2:-.}
  echo "running $1 ..." >&2
  "$build/bench/$1" --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
    --benchmark_filter="$filter" --benchmark_color=false >"$out/$1.txt" 2>/dev/null
}
run file_manager_bench 'BM_(Raw|Manager)(Next|Fetch)$'
run browse_bench 'BM_(Raw|Browse)FirstPage'
# The 1,000,000-row jobs take minutes each; data_jobs_bench runs them by hand.
run data_jobs_bench 'Start|/10000/'
run invoice_report_bench

# ratio FILE NAME-PATTERN [HEADING]: the ratio on the first line naming it
# (after the heading's line when given).
ratio() {
  awk -v name="^  $2 " -v heading="${3:-}" '
    !seen && (heading == "" || index($0, heading)) { seen = 1; next }
    seen && $0 ~ name && $2 ~ /x$/ { print $2; exit }' "$out/$1.txt"
}
line() { printf '| %-58s | %8s | %-18s |\n' "$1" "${2:--}" "$3"; }

echo
echo "Speed against peers ($reps interleaved repetitions, medians):"
echo
line "figure" "ratio" "aim"
line "----" "----" "----"
line "print invoices --pdf, 1,000 invoices / ReportLab" \
  "$(ratio invoice_report_bench 'BM_LedoraInvoicesPdf/1000/[^ ]+')" "at most 0.8x"
line "print invoices --pdf, 10,000 invoices / ReportLab" \
  "$(ratio invoice_report_bench 'BM_LedoraInvoicesPdf/10000/[^ ]+')" "at most 0.8x"
line "peak memory, 10,000 pages / 1,000 (ledora)" "$(ratio invoice_report_bench ledora)" "flat"
line "peak memory, 10,000 pages / 1,000 (ReportLab)" "$(ratio invoice_report_bench reportlab)" ""
line "PDF size per 1,000 pages / ReportLab's" \
  "$(ratio invoice_report_bench 'BM_LedoraInvoicesPdf/1000/[^ ]+' 'PDF size')" \
  "at most 1x"
line "FileManager keyed next / raw SQLite" "$(ratio file_manager_bench BM_ManagerNext)" "at most 1.1x"
line "FileManager fetch by key / raw SQLite" "$(ratio file_manager_bench BM_ManagerFetch)" "at most 1.1x"
line "browse first page / raw SQLite read of the same rows" \
  "$(ratio browse_bench BM_BrowseFirstPage)" "at most 1.5x"
line "ledora --version / sqlite3 --version" "$(ratio data_jobs_bench 'BM_LedoraStart[^ ]+')" "at most 2x"
line "import 10,000 rows / sqlite3 shell" "$(ratio data_jobs_bench 'BM_LedoraImport/10000[^ ]+')" \
  "at most 1.3x"
line "export 10,000 rows / sqlite3 shell" "$(ratio data_jobs_bench 'BM_LedoraExport/10000[^ ]+')" \
  "at most 1.3x"

echo
echo "Each benchmark's own summary:"
for b in "${benches[@]}"; do
  echo "== $b"
  # What follows the benchmark table: the ratios, peaks and sizes it printed.
  awk '/^-+$/ { rules++; next } rules >= 2 && !/\033|^ *$/' "$out/$b.txt"
done
