#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need (only those missing).
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  liberfa-dev
  g++-mingw-w64-x86-64
  wine wine64 xvfb xdotool x11-utils imagemagick
  fonts-wqy-zenhei fonts-wqy-microhei fonts-wine
  locales
  python3-icalendar
  # tools/fuzz.sh: clang with libFuzzer and the sanitizer run-times; llvm
  # brings llvm-symbolizer for readable sanitizer reports.
  clang libclang-rt-14-dev llvm
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
sudo=
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its ANSI code page (936) and the encoding of Chinese file names
# from the host locale: zh_CN.UTF-8 must exist for the tests that use it.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "install-deps: generating the zh_CN.UTF-8 locale" >&2
  $sudo sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
