# Shared set-up steps of scripts/test.sh and scripts/demo.sh. Source it from the repository root.

# Installs the Debian packages that are missing (as root), or prints the command to run.
ensure_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "== installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "Missing packages. Run:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
}

# Node and npm, for the glTF validator: Debian's packages unless a Node is installed already.
node_packages() {
  command -v node >/dev/null || echo nodejs
  command -v npm >/dev/null || echo npm
}

# The glTF validator (npm package gltf-validator) in <build folder>/gltf-validator, where
# propbridge's tests and the demo look for it.
install_gltf_validator() {
  local folder="$1/gltf-validator"
  [ -f "$folder/node_modules/gltf-validator/package.json" ] && return 0
  echo "== installing the glTF validator into $folder"
  mkdir -p "$folder"
  npm install --prefix "$folder" --no-audit --no-fund --silent gltf-validator@2.0.0-dev.3.10 >/dev/null
}

# puppeteer-core (npm), which drives the system's Chromium (Debian's chromium package, never a
# downloaded browser) for meshgallery's browser test, in <build folder>/browser.
install_browser_driver() {
  local folder="$1/browser"
  [ -f "$folder/node_modules/puppeteer-core/package.json" ] && return 0
  echo "== installing puppeteer-core into $folder"
  mkdir -p "$folder"
  PUPPETEER_SKIP_DOWNLOAD=1 npm install --prefix "$folder" --no-audit --no-fund --silent puppeteer-core@24.43.1 >/dev/null
}

preset_build_dir() {
  case "$1" in
    default) echo build ;;
    sanitize) echo build-sanitize ;;
    windows) echo build-windows ;;
    bench) echo build-bench ;;
  esac
}

# A Wine prefix of the build's own, so that tests never touch the user's ~/.wine.
prepare_wine() {
  export WINEPREFIX="$PWD/$1/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
}

# Prints one line per test program from GoogleTest's XML results, and the total.
summarize_results() {
  local label=$1 dir=$2 total=0 failed=0 skipped=0 f counts tests failures skips name
  echo "== $label: results"
  for f in "$dir"/*.xml; do
    [ -e "$f" ] || { echo "   no test results found"; return 1; }
    counts=$(sed -n 's/.*<testsuites tests="\([0-9]*\)" failures="\([0-9]*\)".*/\1 \2/p' "$f" | head -n 1)
    tests=${counts% *}; failures=${counts#* }
    skips=$(grep -c '<skipped' "$f" || true)
    name=$(basename "$f" .xml)
    printf '   %-20s %5s tests, %s failed, %s skipped\n' "$name" "$tests" "$failures" "$skips"
    total=$((total + tests)); failed=$((failed + failures)); skipped=$((skipped + skips))
  done
  printf '   %-20s %5s tests, %s failed, %s skipped\n' "all ($label)" "$total" "$failed" "$skipped"
  [ "$failed" -eq 0 ]
}
