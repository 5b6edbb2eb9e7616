#!/usr/bin/env bash
# The four skins of the 风格 menu on the real main window, by pixels read
# back from the screen: caption, menu bar and client background change with
# each; a malformed skin file keeps the look; the skin's caption buttons
# still minimise and close.
#   skins_e2e.sh PROGRAM DRIVER ARTIFACT_DIR
set -u
program=$1 driver=$2 artifacts=$3
mkdir -p "$artifacts"
source "$(dirname "$0")/common.sh"

choose_style() {
  click_menu 2 "$1"
  xdotool mousemove 1000 700  # out of the way of the sampled points
  sleep 0.5
}

temp_dir=$(winepath -u "$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')" 2>/dev/null)
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  rm -rf "$work" "$temp_dir"/{aero,asus,homestead,hlong}.skn
}
trap cleanup EXIT
rm -f "$temp_dir"/{aero,asus,homestead,hlong}.skn

wine "$program" >/dev/null 2>&1 &
pid=$!
[ "$(driver wait 20000)" = ok ] || { fail "the main window did not appear"; exit 1; }
sleep 1

# Caption (right of the title), menu bar (right of its menus) and a spot of
# client background between the calendar and the search box.
sample() {  # NAME -> "caption menubar client" colours
  local s client cx cy screen="$work/screen_$1.png"
  s=$(driver state)
  client=$(echo "$s" | field client)
  cx=${client%,*} cy=${client#*,}
  import -window root "$screen" 2>/dev/null
  shot "main_window_skin_$1"
  convert "$screen" -format "%[hex:p{$((cx + 500)),$((cy - 34))}] %[hex:p{$((cx + 500)),$((cy - 8))}] %[hex:p{$((cx + 200)),$((cy + 268))}]" info:
}

asus=$(sample asus)
choose_style 0
aero=$(sample aero)
choose_style 2
homestead=$(sample homestead)
# A malformed file of the skin's name is used as it is; the engine refuses it
# and the program keeps its look.
printf '.SKN 1\nthis is not a skin\n' >"$temp_dir/hlong.skn"
choose_style 3
[ "$(sample hlong_malformed)" = "$homestead" ] || fail "a malformed skin file changed the look"
rm -f "$temp_dir/hlong.skn"
choose_style 3
hlong=$(sample hlong)
echo "asus: $asus / aero: $aero / homestead: $homestead / hlong: $hlong"

for part in 1 2 3; do
  colours=$(for skin in "$asus" "$aero" "$homestead" "$hlong"; do echo "$skin" | cut -d' ' -f"$part"; done)
  [ "$(echo "$colours" | sort -u | wc -l)" -eq 4 ] || fail "sample $part does not differ across the four skins: $(echo $colours)"
done

# The skin's caption buttons: minimise, then close.
outer=$(driver state | field outer)
IFS=, read -r left top width _ <<<"$outer"
right=$((left + width))
minimise_at() { xdotool mousemove "$1" "$2" click 1; sleep 0.5; driver state | field iconic; }
minimised=0
for dx in 48 44 52 56 40; do  # the button's place differs a little between skins
  [ "$(minimise_at $((right - dx)) $((top + 18)))" = 1 ] && { minimised=1; break; }
done
[ "$minimised" = 1 ] || fail "the caption's minimise button did not minimise"
driver restore >/dev/null
sleep 0.6
xdotool mousemove $((right - 20)) $((top + 18)) click 1
for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
if kill -0 "$pid" 2>/dev/null; then
  fail "the caption's close button did not close the window"
else
  wait "$pid"
  code=$?
  [ "$code" -eq 0 ] || fail "exit code $code after the close button"
  pid=
fi

finish "skins"
