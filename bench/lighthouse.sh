#!/usr/bin/env bash
# A Lighthouse run of the page as a phone sees it (its default mobile
# settings: a simulated slow 4G and a slowed CPU), in Debian's Chromium.
#   bash bench/lighthouse.sh [OUT_DIR]
# Lighthouse is not one of the project's packages: a pinned version is
# installed from the npm registry into a temporary folder for the run. Needs
# the site built (tools/web.sh --build-only). Prints the four scores and
# writes the HTML and JSON reports to OUT_DIR (build/lighthouse).
set -euo pipefail
cd "$(dirname "$0")/.."
LIGHTHOUSE_VERSION=13.5.0
out="$(realpath -m "${1:-build/lighthouse}")"
port="${MATCALC_WEB_PORT:-8431}"
[ -f build/web/site/index.html ] || { echo "no site: run tools/web.sh --build-only" >&2; exit 2; }
mkdir -p "$out"
tool="$(mktemp -d)"
node src/web/serve.mjs build/web/site "$port" > /dev/null 2>&1 &
server=$!
trap 'kill "$server"; rm -rf "$tool"' EXIT
(cd "$tool" && npm init -y > /dev/null &&
 npm install --no-audit --no-fund --silent "lighthouse@$LIGHTHOUSE_VERSION" > /dev/null)
sleep 1
CHROME_PATH="${CHROME_PATH:-/usr/bin/chromium}" "$tool/node_modules/.bin/lighthouse" \
  "http://127.0.0.1:$port/" --chrome-flags="--headless --no-sandbox --disable-gpu" \
  --output=json --output=html --output-path="$out/page" --quiet
node -e '
const report = require(process.argv[1]);
for (const id of ["performance", "accessibility", "best-practices", "seo"]) {
  console.log(`${id}: ${Math.round(report.categories[id].score * 100)}`);
}
for (const [id, category] of Object.entries(report.categories)) {
  for (const ref of category.auditRefs) {
    const audit = report.audits[ref.id];
    if (ref.weight > 0 && audit.score !== null && audit.score < 1) {
      console.log(`  ${id}: ${ref.id} ${audit.displayValue || ""} (${audit.title})`);
    }
  }
}' "$out/page.report.json"
echo "reports: $out/page.report.html, $out/page.report.json"
