#!/usr/bin/env bash
# The About window (modal, countdown, Esc, ripples, its files), the tray
# icon's menu, the product search and the site links, on the real program.
# Addresses handed to the browser are captured by a stand-in browser.
#   about_tray_e2e.sh PROGRAM DRIVER ARTIFACT_DIR
set -u
program=$1 driver=$2 artifacts=$3
mkdir -p "$artifacts"
source "$(dirname "$0")/common.sh"

work=$(mktemp -d)
captured="$work/captured.txt"
cat >"$work/browser.sh" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$@" >> "$captured"
SCRIPT
chmod +x "$work/browser.sh"
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$work/browser.sh" /f >/dev/null 2>&1

data_dir=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')" 2>/dev/null)/青禾万年历
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  wine reg delete 'HKCU\Software\Wine\WineBrowser' /v Browsers /f >/dev/null 2>&1
  rm -rf "$work" "$data_dir/wave.bmp"
}
trap cleanup EXIT

wine "$program" >/dev/null 2>&1 &
pid=$!
[ "$(driver wait 20000)" = ok ] || { fail "the main window did not appear"; exit 1; }
sleep 1

# 关于 opens the About window modally: "10", disabled, the main window
# disabled while its clock goes on.
open_menu 3
click_point driver menu 3 0
a=$(driver about 3000)
echo "$a"
[ "$(echo "$a" | field about)" = open ] || fail "the About window did not open"
[ "$(echo "$a" | field button)" = 10 ] || fail "button caption $(echo "$a" | field button), expected 10"
[ "$(echo "$a" | field button_enabled)" = 0 ] || fail "button enabled at once"
[ "$(echo "$a" | field main_enabled)" = 0 ] || fail "main window enabled under the About window"
[ "$(echo "$a" | field rect | cut -d, -f3-)" = "380,142" ] || fail "About window size"
[ -f "$data_dir/wave.bmp" ] || fail "wave.bmp not written into the per-user folder"
clock1=$(driver state | field status1)
# Ripples: mouse moves drop stones; the picture's pixels change.
origin=$(echo "$a" | field client)
ox=${origin%,*} oy=${origin#*,}
import -window root -crop "380x142+$ox+$oy" "$work/calm.png" 2>/dev/null
for step in 0 1 2 3 4 5; do xdotool mousemove $((ox + 60 + step * 30)) $((oy + 70)); sleep 0.05; done
sleep 0.2
import -window root -crop "380x142+$ox+$oy" "$work/rippling.png" 2>/dev/null
IFS=, read -r ax ay aw ah <<<"$(echo "$a" | field rect)"
import -window root -crop "${aw}x${ah}+${ax}+${ay}" "$artifacts/about_window.png" 2>/dev/null
changed=$(compare -metric AE "$work/calm.png" "$work/rippling.png" null: 2>&1 | cut -d' ' -f1)
[ "${changed:-0}" -gt 200 ] 2>/dev/null || fail "the picture did not ripple ($changed pixels changed)"
sleep 1.2
[ "$(driver state | field status1)" != "$clock1" ] || fail "the main window's clock stopped under the About window"
# Esc closes it early; the main window takes input again.
xdotool key Escape
sleep 0.5
a=$(driver about)
[ "$(echo "$a" | field about)" = closed ] || fail "Esc did not close the About window"
[ "$(echo "$a" | field main_enabled)" = 1 ] || fail "main window still disabled"

# Again: ten seconds later the button reads 确定 and closes the window.
click_menu 3 0
sleep 10.5
a=$(driver about)
[ "$(echo "$a" | field button)" = "确定" ] || fail "after 10 s the button reads $(echo "$a" | field button)"
[ "$(echo "$a" | field button_enabled)" = 1 ] || fail "the button is still disabled after 10 s"
click_at "$(echo "$a" | field button_x)" "$(echo "$a" | field button_y)"
sleep 0.5
[ "$(driver about | field about)" = closed ] || fail "确定 did not close the About window"

# The tray menu: after another day was chosen, its 回到今天 brings today back.
if [ "$(date -d tomorrow +%m)" = "$(date +%m)" ]; then other=$(date -d tomorrow +%F); else other=$(date -d yesterday +%F); fi
click_point driver cell "$other"
sleep 0.5
[ "$(driver state | field today_button)" = visible ] || fail "今天 button hidden after another day was chosen"
xdotool mousemove 500 600
# A left click or a double click on the icon does nothing.
driver tray-lclick >/dev/null
[ "$(driver wait-popup 800)" = ok ] && fail "a left click on the tray icon opened a menu"
driver tray-rclick >/dev/null
sleep 0.6
import -window root -crop 360x200+420+560 "$artifacts/tray_menu.png" 2>/dev/null
click_at $((500 + 3 + 30)) $((600 + 3 + 10))
sleep 0.6
s=$(driver state)
[ "$(echo "$s" | field status0)" = "欢迎使用《岁华录》查询万年历！" ] || fail "tray 回到今天 did not bring today back"
[ "$(echo "$s" | field today_button)" = hidden ] || fail "今天 button still shown after tray 回到今天"

# The search box's text goes to the search percent-encoded; the site links
# carry the program's query; 软件升级 shows its notice first.
click_point driver point 130 292
xdotool type --delay 20 'A&B C#1+1%'
click_point driver point 313 293
sleep 1.5
click_menu 3 1
sleep 1.5
click_menu 3 2
box=$(driver message 5000)
[ "$(echo "$box" | field text)" = "请到官网查看最新版本！" ] || fail "软件升级 notice: $(echo "$box" | field text)"
[ "$(echo "$box" | field title)" = "提示：" ] || fail "软件升级 title: $(echo "$box" | field title)"
sleep 1
[ "$(grep -c qinghe-soft "$captured" 2>/dev/null)" = 1 ] || fail "the site opened before the notice was closed"
driver dismiss >/dev/null
sleep 1.5
echo "captured addresses:"; cat "$captured" 2>/dev/null
grep -qx 'http://s.taobao.com/search?q=A%26B%20C%231%2B1%25&pid=mm_10011550_0_0&commend=all' "$captured" ||
  fail "search address not as expected"
# (Wine's browser hand-over writes the empty path as "/".)
[ "$(grep -cE '^http://www\.qinghe-soft\.example/?\?soft=qhtime$' "$captured")" = 2 ] || fail "site address not opened twice"

driver close >/dev/null
wait "$pid"
pid=
finish "about, tray, search and links"
