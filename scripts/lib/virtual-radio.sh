# shellcheck shell=bash
# Shared by the scripts that put the Windows build under Wine against the Linux build's virtual
# radio (scripts/wine-radio-run, scripts/test-windows-gui): source it, set $linux (the Linux
# build folder, holding rcp520-radio) and $work (a private folder), then
#   start_radio TRACE [OPTIONS...]   a fresh rcp520-radio tracing into TRACE (an HX77 without
#                                    options); sets $pty to its pseudo-terminal, $radio_pid
#   stop_radio                       ends it and waits for it
#   map_com5                         makes Wine's COM5 in $WINEPREFIX that pseudo-terminal

# shellcheck disable=SC2154  # $linux and $work are the sourcing script's
radio_pid=

start_radio() {
  local trace=$1
  shift
  [ $# -gt 0 ] || set -- --model HX77
  "$linux/rcp520-radio" "$@" --trace "$trace" >"$work/radio.out" 2>&1 &
  radio_pid=$!
  for _ in $(seq 100); do
    pty=$(head -n1 "$work/radio.out" 2>/dev/null || true)
    [ -n "$pty" ] && return 0
    sleep 0.1
  done
  echo "$(basename "$0"): rcp520-radio did not start" >&2
  exit 1
}

stop_radio() {
  kill -INT "$radio_pid"
  wait "$radio_pid" || true
  radio_pid=
}

map_com5() {
  ln -sfn "$pty" "$WINEPREFIX/dosdevices/com5"
}
