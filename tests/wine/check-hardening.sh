#!/usr/bin/env bash
# Each program is built hardened: the loader may place it anywhere (DYNAMIC_BASE, with a
# relocation section that lets it move), above 4 GB (HIGH_ENTROPY_VA, image base beyond
# 32 bits), with data that cannot run (NX_COMPAT), and its functions check a stack canary.
# The programs carry no symbols, so the canary is found by its code: functions end with
# "sub <guard>,%rax; je; call <the failure routine>", the same routine every time.
#   check-hardening.sh <objdump> <program.exe>...
set -uo pipefail
if [ $# -lt 2 ]; then
  echo "usage: check-hardening.sh <objdump> <program.exe>..." >&2
  exit 2
fi
objdump="$1"; shift
# Fewer canary checks than this would mean only some stray library code has them.
min_checks=20

status=0
for program in "$@"; do
  headers="$("$objdump" -p "$program")" || { echo "FAIL $program: objdump failed"; status=1; continue; }
  problems=""
  for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
    grep -qw "$flag" <<<"$headers" || problems="$problems no $flag;"
  done
  base="$(awk '$1 == "ImageBase" { print $2 }' <<<"$headers")"
  # 16 hexadecimal digits: above 4 GB when any of the upper eight is not zero.
  [[ "$base" =~ ^[0-9a-fA-F]{16}$ && ! "$base" =~ ^00000000 ]] || problems="$problems image base $base not above 4 GB;"
  "$objdump" -h "$program" | awk '$2 == ".reloc" && $3 !~ /^0+$/ { found = 1 } END { exit !found }' ||
    problems="$problems no relocation section;"
  checks="$("$objdump" -d --no-show-raw-insn "$program" | awk '
    { sub(/^[ \t]*[0-9a-f]+:[ \t]*/, "") }
    prev2 ~ /^sub[ \t]+[^,]*\(%r[a-z0-9]+\),%r/ && prev1 ~ /^je[ \t]/ && $1 == "call" { count[$2]++ }
    { prev2 = prev1; prev1 = $0 }
    END { best = 0; for (t in count) if (count[t] > best) best = count[t]; print best }')"
  [ "${checks:-0}" -ge "$min_checks" ] || problems="$problems stack protector missing (${checks:-0} canary checks);"
  if [ -n "$problems" ]; then
    echo "FAIL $program:$problems"
    status=1
  else
    echo "ok   $program: ASLR (high entropy, base $base, relocations), NX, $checks canary checks"
  fi
done
exit $status
