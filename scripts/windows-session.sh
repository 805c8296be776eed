# Sourced by the scripts that run the Windows build under Wine: installs what is
# missing, builds the windows preset, starts the Wine session of the build folder
# and takes its environment. Sets $build and $session; the caller stops the session.
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null
build=build/windows
session=tests/wine/wine-session.sh
$session start $build >/dev/null
eval "$($session env $build)"
