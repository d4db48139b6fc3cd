#!/usr/bin/env bash
# The bash completion as installed, on the built program: job words, each
# job's options, report and invoicing file names, and file names where a job
# takes a file.
# usage: completion_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1 source=$2
PATH=$build:$PATH
source "$source/dist/ledora.bash-completion"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/invoices.pdf" "$work/items.csv"
mkdir "$work/split"
cd "$work"
failed=0
expect() {  # WANTED WORDS...
  local wanted=$1
  shift
  COMP_WORDS=(ledora "$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _ledora
  if [ "${COMPREPLY[*]}" != "$wanted" ]; then
    echo "FAIL: ledora $* -> '${COMPREPLY[*]}', wanted '$wanted'"
    failed=1
  fi
}
expect "print" pr
expect "demo" --data books de
expect "--pdf --printer" print items --p
expect "--csv" export ITEMS --c
expect "--data --database --demo" --d
expect "invoice-list invoices" print invoice
expect "ITEMS INVOICES INVOICEL" export I
expect "items.csv" import CUSTOMER it
expect "invoices.pdf" print invoices --pdf inv
expect "split" print invoices --split s
expect "make-new-reports" help ma
exit $failed
