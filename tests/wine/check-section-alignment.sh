#!/usr/bin/env bash
# Each section of the program starts on a page of its file. Wine maps such sections
# straight from the file (shared with every other start, already cached); a section at
# any other offset it reads into fresh private memory at every start.
#   check-section-alignment.sh <objdump> <program.exe>...
set -uo pipefail
if [ $# -lt 2 ]; then
  echo "usage: check-section-alignment.sh <objdump> <program.exe>..." >&2
  exit 2
fi
objdump="$1"; shift

status=0
for program in "$@"; do
  # Section rows of the header dump: index, name, size, VMA, LMA, file offset, alignment.
  sections="$("$objdump" -h "$program" | awk '$1 ~ /^[0-9]+$/ && NF >= 7 { print $2, $6 }')" ||
    { echo "FAIL $program: objdump failed"; status=1; continue; }
  if [ -z "$sections" ]; then
    echo "FAIL $program: no sections found in the dump"
    status=1
    continue
  fi
  misplaced=""
  while read -r name offset; do
    # Sections without data in the file (.bss) have offset 0.
    (( 16#$offset % 4096 == 0 )) || misplaced="$misplaced $name@0x$offset"
  done <<<"$sections"
  if [ -n "$misplaced" ]; then
    echo "FAIL $program: sections off a page boundary in the file:$misplaced"
    status=1
  else
    echo "ok   $program: $(tr '\n' ' ' <<<"$sections")"
  fi
done
exit $status
