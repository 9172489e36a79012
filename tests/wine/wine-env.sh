# Shared by the Wine session scripts: where Wine is and the environment every
# Windows executable of the project runs in.
# shellcheck shell=bash

# Debian's wine64 package has no `wine` launcher on PATH; the loader itself is
# the reliable entry point (a `wine` launcher would prefer an absent wine32).
VELMORA_WINE64=${VELMORA_WINE64:-/usr/lib/wine/wine64}
VELMORA_WINESERVER=${VELMORA_WINESERVER:-/usr/lib/wine/wineserver64}
[ -x "$VELMORA_WINESERVER" ] || VELMORA_WINESERVER=/usr/lib/wine/wineserver

# velmora_wine_env <session dir>: exports the session's prefix and display.
velmora_wine_env() {
  local dir=$1
  export WINEPREFIX=$dir/prefix
  export WINEARCH=win64
  # Code page 936, so GBK texts of the application mean what they say.
  export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
  export WINEDEBUG=-all
  # No Mono or Gecko installer prompts on a machine without network.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -f "$dir/display" ]; then
    DISPLAY=$(cat "$dir/display")
    export DISPLAY
  fi
}

# velmora_init_prefix: makes $WINEPREFIX once; concurrent callers wait for it.
velmora_init_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 8
    if [ ! -f "$WINEPREFIX/.velmora-ready" ]; then
      rm -rf "$WINEPREFIX"
      "$VELMORA_WINE64" wineboot -i >/dev/null 2>&1 || true
      "$VELMORA_WINESERVER" -w
      [ -f "$WINEPREFIX/system.reg" ] || { echo "wine: prefix set-up failed" >&2; exit 1; }
      touch "$WINEPREFIX/.velmora-ready"
    fi
  ) 8>"$WINEPREFIX.lock"
}

# velmora_start_services: brings up Wine's own background processes with their
# output on /dev/null. Started by a test's wine instead, they would inherit its
# output pipe and keep whoever reads it (ctest, a pipeline) waiting for good.
velmora_start_services() {
  "$VELMORA_WINE64" wineboot </dev/null >/dev/null 2>&1 || true
}
