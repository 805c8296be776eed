#!/usr/bin/env bash
# Mozilla's linter (web-ext lint, installed into the build folder by the install
# script) on the Firefox package of the application folder, as addons.mozilla.org
# checks a submission: no errors allowed; its warnings are shown.
#   xpi-lint.sh BUILD_DIR
set -u
build=$(cd "$1" && pwd)
web_ext=$build/browser-test-node/node_modules/.bin/web-ext
xpi=$build/app/browser/Hookwarden-extension.xpi
[ -x "$web_ext" ] || { echo "FAIL no web-ext in $build/browser-test-node: run scripts/install-deps.sh"; exit 1; }
[ -f "$xpi" ] || { echo "FAIL no $xpi: build the app target"; exit 1; }
"$web_ext" lint --no-config-discovery --source-dir "$xpi" --output json >"$build/xpi-lint.json" 2>&1
python3 - "$build/xpi-lint.json" <<'PY'
import json, sys
try:
    report = json.load(open(sys.argv[1]))
except ValueError:
    print("FAIL web-ext lint gave no report:\n" + open(sys.argv[1]).read())
    sys.exit(1)
for kind in ("errors", "warnings", "notices"):
    for message in report[kind]:
        print(f"{kind[:-1]}: {message['code']}: {message['message']} ({message.get('file', '')})")
errors = len(report["errors"])
print(f"{'ok  ' if errors == 0 else 'FAIL'} the xpi's lint errors: got {errors}, expected 0")
sys.exit(1 if errors else 0)
PY
