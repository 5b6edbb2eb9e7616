# Helpers of the end-to-end scripts, sourced by them. The script sets
# $driver (the driver program) and $artifacts first.

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Ends the script: 0 when no check failed.
finish() {
  [ "$failures" -eq 0 ] && echo "$1: all checks passed"
  exit $((failures > 0))
}

driver() { wine "$driver" "$@" 2>/dev/null | tr -d '\r'; }
state() { driver state; }
# The value of a "key=value" line of the driver's answer.
field() { sed -n "s/^$1=//p"; }

click_at() { xdotool mousemove "$1" "$2" click 1; }
# Clicks the point a driver command answers with x= and y=.
click_point() {
  local at
  at=$("$@")
  click_at "$(echo "$at" | field x)" "$(echo "$at" | field y)"
}

# Opens the bar's menu at TOP (0 文件, 1 工具, 2 风格, 3 帮助) by a click on it,
# again if the first click only activated the window.
open_menu() {
  local attempt
  for attempt in 1 2 3; do
    click_point driver menu "$1" -1
    [ "$(driver wait-popup 3000)" = ok ] && return 0
  done
  fail "menu $1 did not open"
}

# Chooses entry ENTRY (0 the first) of the bar's menu TOP.
click_menu() {
  open_menu "$1"
  click_point driver menu "$1" "$2"
  driver wait-popup 5000 gone >/dev/null
  sleep 0.3
}

# A picture of the main window alone (its outer rectangle on the screen).
shot() {
  local r sx sy sw sh
  r=$(driver state | field outer)
  IFS=, read -r sx sy sw sh <<<"$r"
  import -window root -crop "${sw}x${sh}+${sx}+${sy}" "$artifacts/$1.png" 2>/dev/null
}
