#!/usr/bin/env bash
# The main window's pages (the mail page with an entry's details) and the web
# alert look as their pictures in docs/screens, taken by scripts/screenshot.sh on
# the same virtual display with the same fonts: a control moved, cut off or
# missing changes far more pixels than font rendering may.
#   screenshot-test.sh BUILD_DIR
source "$(dirname "$0")/../wine/script-test.sh" "$1" screenshot-test
for shot in main-overview:HWMain-overview main-settings:HWMain-settings main-mail:HWMain-mail webalert:HWAlerts-web; do
  name=${shot#*:}
  (cd "$src" && HW_SCREENS_DIR="$work" bash scripts/screenshot.sh "${shot%%:*}" >/dev/null 2>&1)
  # Pixels that differ by more than 10 %; at most 0.2 % of the picture may (a
  # button moved by its height changes about 1 %).
  differing=$(compare -metric AE -fuzz 10% "$src/docs/screens/$name.png" "$work/$name.png" null: 2>&1 >/dev/null)
  pixels=$(identify -format '%[fx:w*h]' "$src/docs/screens/$name.png")
  if [[ "$differing" =~ ^[0-9]+$ ]] && [ "$differing" -le $((pixels / 500)) ]; then
    check "$name looks as stored" ok ok
  else
    check "$name looks as stored (pixels that differ of $pixels; the picture is in $work)" "$differing" "at most $((pixels / 500))"
  fi
done
exit $((failures > 0))
