#!/bin/sh
# Builds the demo gallery as run-demo.sh does (every demo script into one
# folder with one page), opens the page in headless Chromium, checks that
# every picture on it loaded, and keeps a screenshot beside the page.
#   check_gallery_in_browser.sh TESSALY_RUN OUT_DIR DEMO_DIR
set -eu
runner=$1
out=$2
demos=$3

browser=$(command -v chromium || true)
if [ -z "$browser" ]; then
  echo "check_gallery_in_browser: chromium is not installed (run-tests.sh installs it)" >&2
  exit 1
fi

rm -rf "$out"
mkdir -p "$out"
for script in "$demos"/*.tsr; do
  "$runner" --out "$out" --gallery "$out/index.html" "$script"
done
page=$(cd "$out" && pwd)/index.html

# A copy of the page that, once everything has loaded, writes what it found
# into itself; the browser prints the page as it then stands.
check=$(cd "$out" && pwd)/index-check.html
profile=$(mktemp -d)
trap 'rm -rf "$profile" "$check"' EXIT
sed 's|</body>|<script>addEventListener("load", () => {\
  const all = [...document.images];\
  const broken = all.filter(i => !(i.complete \&\& i.naturalWidth > 0)).map(i => i.getAttribute("src"));\
  const p = document.createElement("pre");\
  p.id = "gallery-check";\
  p.textContent = all.length + " pictures, " + broken.length + " not loaded" + (broken.length ? ": " + broken.join(" ") : "");\
  document.body.appendChild(p);\
});</script></body>|' "$page" > "$check"

run_browser() {
  "$browser" --headless --no-sandbox --disable-gpu --disable-dev-shm-usage --no-first-run \
    --user-data-dir="$profile" --allow-file-access-from-files --virtual-time-budget=10000 "$@" \
    2>/dev/null
}

result=$(run_browser --dump-dom "file://$check" | sed -n 's|.*<pre id="gallery-check">\([^<]*\)</pre>.*|\1|p')
echo "$result"
expected=$(grep -o '<img ' "$page" | wc -l)
case "$result" in
  "$expected pictures, 0 not loaded") ;;
  *)
    echo "check_gallery_in_browser: expected all $expected pictures of $page to load" >&2
    exit 1
    ;;
esac
[ "$expected" -gt 0 ] || { echo "check_gallery_in_browser: the page shows no pictures" >&2; exit 1; }

run_browser --hide-scrollbars --window-size=1280,2400 --screenshot="$out/index-screenshot.png" "file://$page"
[ -s "$out/index-screenshot.png" ] || { echo "check_gallery_in_browser: no screenshot" >&2; exit 1; }
echo "screenshot: $out/index-screenshot.png"
