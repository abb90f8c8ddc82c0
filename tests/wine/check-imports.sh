#!/usr/bin/env bash
# Each program's import table names only libraries that Windows lists as KnownDLLs. The
# loader takes those from System32 whatever lies beside the program; any other library
# would be looked for in the program's own folder first (a planted copy beside an exe in
# Downloads would run inside it), before the program restricts the search to System32,
# so it must be delay-loaded (tools/cmake/DelayLoad.cmake).
#   check-imports.sh <objdump> <program.exe>...
set -uo pipefail
if [ $# -lt 2 ]; then
  echo "usage: check-imports.sh <objdump> <program.exe>..." >&2
  exit 2
fi
objdump="$1"; shift

# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs of Windows 10 and 11
# (x64), lower case, plus ntdll.dll, which is always mapped from System32.
known=" advapi32.dll clbcatq.dll combase.dll comdlg32.dll coml2.dll difxapi.dll gdi32.dll gdiplus.dll "
known+="imagehlp.dll imm32.dll kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll ntdll.dll ole32.dll "
known+="oleaut32.dll psapi.dll rpcrt4.dll sechost.dll setupapi.dll shcore.dll shell32.dll shlwapi.dll "
known+="user32.dll wldap32.dll ws2_32.dll "

status=0
for program in "$@"; do
  # The names listed under "The Import Tables", up to the next section of the dump.
  imports="$("$objdump" -p "$program" |
    awk '/^The Import Tables/ { inside = 1; next } /^[A-Za-z]/ { inside = 0 }
         inside && /DLL Name:/ { print tolower($3) }')" || { echo "FAIL $program: objdump failed"; status=1; continue; }
  if ! grep -qx "kernel32.dll" <<<"$imports"; then
    echo "FAIL $program: no import table found (kernel32.dll missing from the dump)"
    status=1
    continue
  fi
  unknown=""
  for dll in $imports; do
    case "$known" in
      *" $dll "*) ;;
      *) unknown="$unknown $dll" ;;
    esac
  done
  if [ -n "$unknown" ]; then
    echo "FAIL $program imports libraries that are no KnownDLLs:$unknown (delay-load them)"
    status=1
  else
    echo "ok   $program:" $imports
  fi
done
exit $status
