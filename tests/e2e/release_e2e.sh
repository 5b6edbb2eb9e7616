#!/usr/bin/env bash
# The zip a user downloads, on a clean Windows: a fresh Wine prefix, the zip
# unpacked into a folder whose name has Chinese characters and spaces, the
# program started from there; its version information; the guide.
#   release_e2e.sh ZIP DRIVER WORK_DIR ARTIFACT_DIR
set -u
zip=$1 driver=$2 work=$3 artifacts=$4
mkdir -p "$artifacts"
source "$(dirname "$0")/common.sh"

rm -rf "$work"
mkdir -p "$work/home"
export WINEPREFIX="$work/prefix"
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

HOME="$work/home" wineboot --init </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1

folder="$WINEPREFIX/drive_c/测试 目录 青禾"
mkdir -p "$folder"
(cd "$folder" && cmake -E tar xf "$zip") || fail "the zip does not unpack"
program="$folder/青禾万年历/青禾万年历.exe"
[ -f "$program" ] || { fail "no 青禾万年历.exe in the zip"; exit 1; }
guide="$folder/青禾万年历/使用说明.txt"
[ "$(head -c 3 "$guide" | xxd -p)" = efbbbf ] || fail "the guide has no byte-order mark"
grep -q -- '--time-server' "$guide" || fail "the guide does not tell how to use another time server"
[ "$(ls "$folder/青禾万年历" | wc -l)" -eq 2 ] || fail "the zip holds more than the program and the guide"

v=$(driver version "$program")
echo "$v"
[ "$(echo "$v" | field FileVersion)" = 1.0.0 ] || fail "file version"
[ "$(echo "$v" | field ProductName)" = 青禾万年历 ] || fail "product name"

(cd "$folder/青禾万年历" && wine ./青禾万年历.exe >/dev/null 2>&1) &
pid=$!
[ "$(driver wait 30000)" = ok ] || { fail "the program did not start from the unpacked folder"; exit 1; }
sleep 1.2
s=$(driver state)
echo "$s"
echo "$s" | field date_text | grep -q " $(date +%Y-%-m-%-d)\$" || fail "the calendar does not show today"
[ "$(echo "$s" | field status0)" = "欢迎使用《岁华录》查询万年历！" ] || fail "welcome text"
IFS=, read -r x y w h <<<"$(echo "$s" | field outer)"
import -window root -crop "${w}x${h}+${x}+${y}" "$artifacts/release_fresh_prefix.png" 2>/dev/null
driver close >/dev/null
wait "$pid"
code=$?
pid=
[ "$code" -eq 0 ] || fail "exit code $code"

finish "release"
