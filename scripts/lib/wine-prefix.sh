# shellcheck shell=bash
# Shared by the scripts that run the Windows build's window under Wine (scripts/windows-qt
# --smoke, scripts/test-windows-gui): source it, then
#   rcp520_wine_prefix LOG
# makes the Wine prefix $WINEPREFIX on its first use (needs an X display: DISPLAY, or it runs
# wineboot under xvfb-run) and lets it draw Chinese as a Chinese Windows does: WenQuanYi Micro Hei
# (fonts-wqy-microhei) in its Fonts folder, answering to the system's Chinese UI font names
# (Microsoft YaHei, SimSun). Wine's own output goes to LOG. Sets $rcp520_wine to wine64.
#   windows_path FILE
# prints FILE as the Windows programs see it: Wine's Z: is the root folder.

rcp520_wine=$(command -v wine64 || echo /usr/lib/wine/wine64)

# shellcheck disable=SC1003
windows_path() { echo "Z:$(echo "$1" | tr / '\\')"; }

rcp520_wine_prefix() {
  local log=$1 server
  server=$(dirname "$rcp520_wine")/wineserver
  [ -x "$server" ] || server=wineserver
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  chmod 700 "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    if [ -n "${DISPLAY:-}" ]; then
      timeout 600 "$rcp520_wine" wineboot -i >>"$log" 2>&1
    else
      timeout 600 xvfb-run -a "$rcp520_wine" wineboot -i >>"$log" 2>&1
    fi
    timeout 120 "$server" -w || true
  fi
  ln -sf /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$WINEPREFIX/drive_c/windows/Fonts/"
  printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"Microsoft YaHei"="WenQuanYi Micro Hei"' '"SimSun"="WenQuanYi Micro Hei"' \
    >"$WINEPREFIX/drive_c/fonts.reg"
  timeout 120 "$rcp520_wine" regedit /S 'C:\fonts.reg' >>"$log" 2>&1
  timeout 120 "$server" -w || true
}
