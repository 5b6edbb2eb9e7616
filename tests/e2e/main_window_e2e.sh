#!/usr/bin/env bash
# The real program under Wine, driven like a person: start, today's
# calendar and texts, a click on another day, the 今天 button, the skin
# library and skin file deployed, the close button ending with code 0.
# Needs the environment of tools/wine-env.sh (prefix and display).
#   main_window_e2e.sh PROGRAM DRIVER ARTIFACT_DIR
set -u
program=$1 driver=$2 artifacts=$3
mkdir -p "$artifacts"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
driver() { wine "$driver" "$@" 2>/dev/null | tr -d '\r'; }
state() { driver state; }
field() { sed -n "s/^$1=//p"; }

system_dll="$WINEPREFIX/drive_c/windows/system32/SkinEngine.dll"
temp_dir=$(winepath -u "$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')" 2>/dev/null)
skin_file="$temp_dir/asus.skn"
rm -f "$system_dll" "$skin_file"

pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -f "$system_dll" "$skin_file"
}
trap cleanup EXIT

started=$(date +%s%N)
wine "$program" >/dev/null 2>&1 &
pid=$!
[ "$(driver wait 20000)" = ok ] || { fail "the main window did not appear"; exit 1; }
echo "start-up to the shown main window: $(( ($(date +%s%N) - started) / 1000000 )) ms"
sleep 1.3  # the first clock tick and the posted DateChanged

s=$(state)
echo "$s"
today=$(date +%F)
today_text=$(date +%Y-%-m-%-d)
[ "$(echo "$s" | field title)" = "青禾万年历 V1.0  - 可查农历 网络校时" ] || fail "title"
echo "$s" | field date_text | grep -q " $today_text\$" || fail "the calendar does not show today ($today_text)"
[ "$(echo "$s" | field status0)" = "欢迎使用《岁华录》查询万年历！" ] || fail "welcome text"
echo "$s" | field status1 | grep -q '^当前时间：[0-9]*:[0-9]*:[0-9]*$' || fail "clock"
echo "$s" | field status2 | grep -q '^作者：' || fail "credit line"
[ "$(echo "$s" | field today_button)" = hidden ] || fail "今天 button shown at start"
[ "$(echo "$s" | field outer | cut -d, -f3-)" = "760,395" ] || fail "outer size"
[ -f "$system_dll" ] || fail "SkinEngine.dll not deployed into the system directory"
[ -f "$skin_file" ] || fail "asus.skn not written into the temporary-files directory"
import -window root "$artifacts/main_window.png" 2>/dev/null

# Another day: tomorrow, or yesterday when tomorrow is in the next month.
if [ "$(date -d tomorrow +%m)" = "$(date +%m)" ]; then
  other=$(date -d tomorrow +%F) expected="从今天到选择的日期还有 1 天"
else
  other=$(date -d yesterday +%F) expected="从今天到选择的日期已过去 1 天"
fi
cell=$(driver cell "$other")
x=$(echo "$cell" | field x) y=$(echo "$cell" | field y)
xdotool mousemove "$x" "$y" click 1
sleep 0.5
s=$(state)
[ "$(echo "$s" | field status0)" = "$expected" ] || fail "after a click on $other: $(echo "$s" | field status0)"
[ "$(echo "$s" | field today_button)" = visible ] || fail "今天 button hidden after another day was chosen"
import -window root "$artifacts/main_window_other_day.png" 2>/dev/null

# The 今天 button (117, 243, 35 x 19) brings today back.
button=$(driver point 134 252)
xdotool mousemove "$(echo "$button" | field x)" "$(echo "$button" | field y)" click 1
sleep 0.5
s=$(state)
[ "$(echo "$s" | field status0)" = "欢迎使用《岁华录》查询万年历！" ] || fail "今天 did not bring the welcome text back"
[ "$(echo "$s" | field today_button)" = hidden ] || fail "今天 button still shown"

# Menus are clicked where they are drawn: 文件 is the bar's first menu.
click_menu() {
  local at
  at=$(driver menu "$1" -1)
  xdotool mousemove "$(echo "$at" | field x)" "$(echo "$at" | field y)" click 1
  sleep 0.4
  at=$(driver menu "$1" "$2")
  xdotool mousemove "$(echo "$at" | field x)" "$(echo "$at" | field y)" click 1
  sleep 0.5
}

# 农历: the lunar month view, its year list named by cycle years.
click_menu 0 2
s=$(state)
echo "$s" | field year_selector | grep -q '^..(.)-[0-9]*$' || fail "农历 view: year selector reads $(echo "$s" | field year_selector)"
import -window root "$artifacts/main_window_lunar.png" 2>/dev/null
# 公历 brings the Gregorian view back.
click_menu 0 1
s=$(state)
echo "$s" | field year_selector | grep -q '^公历 [0-9]* 年$' || fail "公历 view: year selector reads $(echo "$s" | field year_selector)"

# 退出 ends the program with code 0.
click_menu 0 3
wait "$pid"
code=$?
pid=
[ "$code" -eq 0 ] || fail "exit code $code after 退出"

# A second start: the close button ends it with code 0 as well, and the
# files deployed by the first start are left as they are.
wine "$program" >/dev/null 2>&1 &
pid=$!
[ "$(driver wait 20000)" = ok ] || fail "the main window did not appear a second time"
driver close >/dev/null
wait "$pid"
code=$?
pid=
[ "$code" -eq 0 ] || fail "exit code $code after the close button"

[ "$failures" -eq 0 ] && echo "main window: all checks passed"
exit $(( failures > 0 ))
