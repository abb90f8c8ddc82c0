#!/usr/bin/env bash
# Saves screenshots of the main window's two cards at 100 % and 150 % (96 and 144 DPI)
# so that anyone can look at the window without Windows. Runs inside tools/wine-session:
# 100 % in the session's own prefix, 150 % in a copy of it with its own wineserver, since
# the DPI is only read when a server starts.
#   screenshots.sh <zx_ui_drive.exe> <Zephyrix.exe> <output folder>
set -uo pipefail
if [ $# -ne 3 ]; then
  echo "usage: screenshots.sh <driver exe> <program exe> <output folder>" >&2
  exit 2
fi
drive="$1" program="$2" out="$3"
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
  echo "screenshots: run inside tools/wine-session" >&2
  exit 1
fi
mkdir -p "$out"
session_prefix="$WINEPREFIX"
copy="$(dirname "$out")/screenshot-prefix-150"
program_pid=""

cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  if [ -d "$copy" ]; then
    WINEPREFIX="$copy" wineserver -k >/dev/null 2>&1
    rm -rf "$copy"
  fi
  export WINEPREFIX="$session_prefix"
}
trap cleanup EXIT

drive() { timeout 30 wine "$drive" "$@" </dev/null; }

# Grabs the program's top-level X window (Wine draws its caption and frame into it);
# the whole screen when the window cannot be told apart.
grab() {   # grab <file>
  local id
  id="$(xdotool search --onlyvisible --classname 'zephyrix.exe' 2>/dev/null | tail -1)"
  if [ -n "$id" ]; then
    import -window "$id" "$1"
  else
    import -window root "$1"
  fi
}

shoot() {   # shoot <suffix>
  # The idle state with every option ticked, whatever earlier tests left in the store.
  timeout 60 wine reg delete 'HKCU\Software\Zephyrix' /f >/dev/null 2>&1
  timeout 60 wine "$program" </dev/null >/dev/null 2>&1 &
  program_pid=$!
  drive wait-window || { echo "screenshots: the window did not show ($1)" >&2; return 1; }
  drive wait-shown Card1 || return 1
  grab "$out/home-$1.png" || return 1
  drive click BtnConfig && drive wait-shown Card2 || { echo "screenshots: Config did not show its card" >&2; return 1; }
  grab "$out/config-$1.png" || return 1
  drive close || { echo "screenshots: the program did not close" >&2; return 1; }
  wait "$program_pid" 2>/dev/null
  program_pid=""
}

# The configuration card's "set in Windows now" label at its longest: "Running" stored,
# none of the values in place, so both lines show, in Korean and in German (English
# lines). A child's locale comes from the Unix environment of the wine call starting it.
shoot_applied() {   # shoot_applied <language> <locale> <suffix>
  timeout 60 wine reg delete 'HKCU\Software\Zephyrix' /f >/dev/null 2>&1
  timeout 60 wine reg add 'HKCU\Software\Zephyrix' /v status /t REG_DWORD /d 1 /f >/dev/null 2>&1
  LC_ALL="$2" timeout 60 wine "$program" </dev/null >/dev/null 2>&1 &
  program_pid=$!
  drive wait-window || { echo "screenshots: the window did not show ($1 $3)" >&2; return 1; }
  drive click BtnConfig && drive wait-shown Card2 || { echo "screenshots: Config did not show its card" >&2; return 1; }
  drive wait-text LblApplied || { echo "screenshots: the label stayed empty (no adapter?)" >&2; return 1; }
  grab "$out/config-running-$1-$3.png" || return 1
  drive close || { echo "screenshots: the program did not close" >&2; return 1; }
  wait "$program_pid" 2>/dev/null
  program_pid=""
  timeout 60 wine reg delete 'HKCU\Software\Zephyrix' /f >/dev/null 2>&1
}

shoot_all() {   # shoot_all <suffix>
  shoot "$1" && shoot_applied ko ko_KR.UTF-8 "$1" && shoot_applied de de_AT.UTF-8 "$1"
}

shoot_all 100 || exit 1

rm -rf "$copy"
cp -a "$session_prefix" "$copy" || exit 1
rm -f "$copy"/opened-urls.log
export WINEPREFIX="$copy"
timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -k >/dev/null 2>&1
wineserver -w
wineserver -p
# Start the copy's services and desktop detached, as the session does for its own.
timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1
shoot_all 150 || exit 1

for f in home-100 config-100 config-running-ko-100 config-running-de-100 \
  home-150 config-150 config-running-ko-150 config-running-de-150; do
  echo "$out/$f.png: $(identify -format '%wx%h' "$out/$f.png")"
done
