#!/usr/bin/env bash
# Runs the end-to-end tests of the real program under Wine and copies the
# pictures they take into docs/screenshots/, where README.md shows them.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"

source tools/wine-env.sh
trap wine_env_stop EXIT
wine_env_start build/windows/wine
ctest --test-dir build/windows -R '_e2e$' --output-on-failure

mkdir -p docs/screenshots
from=build/windows/artifacts/e2e
for name in main_window main_window_lunar main_window_skin_aero main_window_skin_asus \
            main_window_skin_homestead main_window_skin_hlong about_window tray_menu; do
  cp "$from/$name.png" docs/screenshots/
done
echo "docs/screenshots/ updated"
