#!/usr/bin/env bash
# Exports the demo map as a web page (the map window's HTML export, through
# drel-render) and takes a picture of it in chromium-headless-shell, for a
# person to look at. Not part of the tests.
# Usage: tools/screenshot-html-export.sh BUILD OUT.png
set -euo pipefail
build=${1:?usage: $0 BUILD OUT.png}
out=${2:?usage: $0 BUILD OUT.png}
browser=$(command -v chromium-headless-shell || command -v chrome-headless-shell || true)
if [ -z "$browser" ]; then
  echo "chromium-headless-shell is not installed" >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/drel-demo" "$work/demo" >/dev/null
mkdir -p "$work/page"
"$build/tools/drel-render" "$work/demo/demo.map" "$work/page/demo.html" --size 800x600
"$browser" --no-sandbox --hide-scrollbars --window-size=900,700 --screenshot="$(realpath -m "$out")" \
  "file://$work/page/demo.html" >/dev/null 2>&1
echo "$out"
