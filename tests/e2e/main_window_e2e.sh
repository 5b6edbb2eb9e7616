#!/usr/bin/env bash
# The real program under Wine, driven like a person: start, today's
# calendar and texts, a click on another day, the 今天 button, the skin
# library and skin file deployed, the close button ending with code 0.
# Needs the environment of tools/wine-env.sh (prefix and display).
#   main_window_e2e.sh PROGRAM DRIVER ARTIFACT_DIR
set -u
program=$1 driver=$2 artifacts=$3
mkdir -p "$artifacts"
source "$(dirname "$0")/common.sh"

system_dll="$WINEPREFIX/drive_c/windows/system32/SkinEngine.dll"
temp_dir=$(winepath -u "$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')" 2>/dev/null)
skin_file="$temp_dir/asus.skn"
data_dir=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')" 2>/dev/null)/青禾万年历
rm -f "$system_dll" "$skin_file"

pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -f "$system_dll" "$skin_file" "$data_dir/SkinEngine.dll"
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
echo "ANSI code page: $(echo "$s" | field ansi_code_page)"
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
shot main_window

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
shot main_window_other_day

# The 今天 button (117, 243, 35 x 19) brings today back.
button=$(driver point 134 252)
xdotool mousemove "$(echo "$button" | field x)" "$(echo "$button" | field y)" click 1
sleep 0.5
s=$(state)
[ "$(echo "$s" | field status0)" = "欢迎使用《岁华录》查询万年历！" ] || fail "今天 did not bring the welcome text back"
[ "$(echo "$s" | field today_button)" = hidden ] || fail "今天 button still shown"


# 农历: the lunar month view, its year list named by cycle years.
click_menu 0 2
s=$(state)
echo "$s" | field year_selector | grep -q '^..(.)-[0-9]*$' || fail "农历 view: year selector reads $(echo "$s" | field year_selector)"
shot main_window_lunar
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

# A second start, with a foreign file of the skin engine's name in the system
# directory (as when it could not be written there): it is never replaced
# nor loaded; the carried library goes to the per-user folder and is loaded
# from there, and the window is skinned all the same. The close button ends
# the program with code 0.
printf 'not the skin engine' >"$system_dll"
rm -f "$data_dir/SkinEngine.dll"
wine "$program" >/dev/null 2>&1 &
pid=$!
[ "$(driver wait 20000)" = ok ] || fail "the main window did not appear a second time"
sleep 0.5
[ "$(cat "$system_dll")" = "not the skin engine" ] || fail "the foreign SkinEngine.dll was replaced"
cmp -s "$data_dir/SkinEngine.dll" "$(dirname "$program")/carried/SkinEngine.dll" ||
  fail "the skin engine was not deployed into the per-user folder"
shot main_window_private_skin_engine
driver close >/dev/null
wait "$pid"
code=$?
pid=
[ "$code" -eq 0 ] || fail "exit code $code after the close button"

finish "main window"
