#!/usr/bin/env bash
# 网络校时 against a time server on loopback: Wine refuses to set the clock,
# so a date-time answer shows the refusal and changes nothing; an answer that
# is no date-time and an empty answer show their own messages.
#   time_sync_e2e.sh PROGRAM DRIVER TIME_SERVER ARTIFACT_DIR
set -u
program=$1 driver=$2 server=$3 artifacts=$4
mkdir -p "$artifacts"
source "$(dirname "$0")/common.sh"

pid= server_pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
}
trap cleanup EXIT

port_file=$(mktemp)
wine "$server" 90 "2011-05-06 12:30:45" "<html>busy</html>" "" >"$port_file" 2>/dev/null &
server_pid=$!
for _ in $(seq 100); do grep -q '^port=' "$port_file" && break; sleep 0.1; done
port=$(tr -d '\r' <"$port_file" | field port)
rm -f "$port_file"
[ -n "$port" ] || { fail "the time server did not start"; exit 1; }

wine "$program" --time-server "http://127.0.0.1:$port/time/time.asp" >/dev/null 2>&1 &
pid=$!
[ "$(driver wait 20000)" = ok ] || { fail "the main window did not appear"; exit 1; }
sleep 0.5
before=$(driver state | field date_text)

sync_and_expect() {  # TEXT TITLE
  local box
  open_menu 1
  click_point driver menu 1 0
  box=$(driver message 15000)
  [ "$(echo "$box" | field text)" = "$1" ] || fail "message '$(echo "$box" | field text)', expected '$1'"
  [ "$(echo "$box" | field title)" = "$2" ] || fail "title '$(echo "$box" | field title)', expected '$2'"
}

sync_and_expect "无法修改系统时间，请以管理员身份运行后再试！" "信息："
import -window root "$artifacts/time_sync_refused.png" 2>/dev/null
driver dismiss >/dev/null
sleep 0.3
sync_and_expect "服务器返回的时间无效，校时失败！" "信息："
driver dismiss >/dev/null
sleep 0.3
sync_and_expect "未联网或获取服务器时间超时！" "信息："
driver dismiss >/dev/null
sleep 0.3

s=$(driver state)
[ "$(echo "$s" | field date_text)" = "$before" ] || fail "the calendar moved"
[ "$(echo "$s" | field today_button)" = hidden ] || fail "今天 button shown"

driver close >/dev/null
wait "$pid"
pid=

finish "time sync"
