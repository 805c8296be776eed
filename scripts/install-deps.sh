#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages. Safe to run
# again: it only installs what is missing.
set -euo pipefail
packages=(
  cmake ninja-build git
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine64 xvfb x11-utils imagemagick
  googletest libwine-dev libssl-dev nlohmann-json3-dev
  clang libclang-rt-dev
  python3 curl locales openssl
  wixl osslsigncode
  publicsuffix
  chromium firefox-esr nodejs
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# The matchers' test under a multi-byte ANSI code page runs Wine in Japanese.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
# The browser tests drive Chromium and Firefox with puppeteer-core, and Mozilla's
# linter checks the Firefox package (web-ext), both kept in the build folder (not
# in the sources) at the versions the tests were written against.
# Some Node.js packages bring npm themselves; Debian's comes as a package of its own.
if ! command -v npm >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq npm >/dev/null
fi
root=$(cd "$(dirname "$0")/.." && pwd)
node_dir=$root/build/windows/browser-test-node
node_packages=(puppeteer-core@24.43.1 web-ext@10.8.0)
for package in "${node_packages[@]}"; do
  if [ ! -d "$node_dir/node_modules/${package%@*}" ]; then
    mkdir -p "$node_dir"
    (cd "$node_dir" && npm install --no-audit --no-fund --loglevel=error "${node_packages[@]}" >/dev/null)
    break
  fi
done
