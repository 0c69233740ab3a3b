#!/bin/bash
# Plays the bundled demo. It runs from a copy under build/, because a game
# saves its state into its own folder.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/demo/demo.ini ]; then
  mkdir -p build/demo
  cp -r examples/demo/. build/demo/
fi
exec ./build/corvant "$@" build/demo/demo.ini
