# shellcheck shell=bash
# Shared by the Wine scripts: environment, prefix preparation and an Xvfb display.
# Source it; it defines functions and exports nothing until they are called.

zx_wine_environment() {   # $1 = prefix folder
  export WINEPREFIX="$1" WINEARCH=win64 WINEDEBUG=-all
  # No crash debugger (it would hang for ever) and no Mono/Gecko installers.
  export WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml="
}

# Creates the prefix if missing and prepares it: fonts, CJK font links, window frames,
# and a browser stand-in that records every address the programs open.
zx_wine_prepare_prefix() {   # $1 = prefix folder
  local prefix="$1"
  [ -f "$prefix/.zx-ready" ] && return 0
  rm -rf "$prefix"
  mkdir -p "$prefix"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  local opener="$prefix/zx-open-url"
  cat >"$opener" <<EOS
#!/bin/sh
printf '%s\n' "\$1" >> "$prefix/opened-urls.log"
EOS
  chmod +x "$opener"
  local reg="$prefix/zx-setup.reg"
  printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Decorated"="N"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineBrowser]' "\"Browsers\"=\"$opener\"" '"Mailers"=""' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]' \
    "\"Tahoma\"=hex(7):$(zx_multi_sz_hex "wqy-microhei.ttc,WenQuanYi Micro Hei")" \
    "\"Tahoma Bold\"=hex(7):$(zx_multi_sz_hex "wqy-microhei.ttc,WenQuanYi Micro Hei")" '' >"$reg"
  wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.zx-ready"
}

# REG_MULTI_SZ in REGEDIT4's hex(7) notation: ANSI bytes, the string and the list NUL-terminated.
zx_multi_sz_hex() {
  printf '%s\0\0' "$1" | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//'
}

# Starts Xvfb on a display it picks itself (-displayfd: no check-then-start race with
# other sessions) and exports DISPLAY; sets ZX_XVFB_PID.
zx_start_xvfb() {
  local fifo number=""
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  export ZX_XVFB_PID=$!
  # Xvfb writes the display number once it accepts connections.
  read -r -t 10 number <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$number"
}
