# Wine and Xvfb for running the Windows build on Linux. Source it, then
#   wine_env_start DIR   private prefix and display under DIR, services up
#                        (with WINE_ENV_OWN_DISPLAY=1 and a DISPLAY set, the
#                        caller's display is used instead of an Xvfb)
#   wine_env_stop        stops the wine server and the display (the caller's
#                        EXIT trap should call it)
# Xvfb and the wine server never write to the caller's output: a process left
# holding it open would keep a CI run waiting.

_wine_env_dir=
_wine_env_xvfb_pid=

wine_env_start() {
  local root
  root=$(mkdir -p "$1" && cd "$1" && pwd) || return 1
  _wine_env_dir=$root
  export WINEPREFIX="$root/prefix"
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=d;winemenubuilder.exe=d"
  # Wine honours a proxy even for loopback addresses.
  unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY

  if [ "${WINE_ENV_OWN_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
    _wine_env_boot "$root"
    return
  fi
  rm -f "$root/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset \
    3>"$root/display" </dev/null >"$root/xvfb.log" 2>&1 &
  _wine_env_xvfb_pid=$!
  local i
  for i in $(seq 100); do
    [ -s "$root/display" ] && break
    sleep 0.05
  done
  if [ ! -s "$root/display" ]; then
    echo "wine-env: Xvfb did not start (see $root/xvfb.log)" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$root/display")"
  _wine_env_boot "$root"
}

_wine_env_boot() {
  local root=$1
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/.qh-ready" ]; then
    mkdir -p "$root/home"
    HOME="$root/home" wineboot --init </dev/null >"$root/wineboot.log" 2>&1 || true
    # regedit reads UTF-16LE with a byte-order mark; UTF-8 garbles 宋体.
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$(dirname "${BASH_SOURCE[0]}")/wine-test.reg.in"; } \
      >"$root/wine-test.reg"
    wine regedit /S "$root/wine-test.reg" </dev/null >/dev/null 2>&1 || true
    # Nothing started while booting may outlive it.
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -p </dev/null >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.qh-ready"
  fi
  # Start Wine's services now: started by the first test instead, they would
  # inherit the test runner's pipes and keep it waiting.
  if ! wine cmd /c exit </dev/null >/dev/null 2>&1; then
    echo "wine-env: Wine does not start programs in $WINEPREFIX (see $root/wineboot.log)" >&2
    return 1
  fi
  return 0
}

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
  fi
  if [ -n "$_wine_env_xvfb_pid" ]; then
    kill "$_wine_env_xvfb_pid" 2>/dev/null || true
    wait "$_wine_env_xvfb_pid" 2>/dev/null || true
    _wine_env_xvfb_pid=
  fi
}
