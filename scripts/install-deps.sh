#!/usr/bin/env bash
# Installs the Debian packages that building and testing need; with --bench,
# instead the programs the benchmarks run beside ours. Packages that are
# already installed are skipped without touching the network.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  libssl-dev uuid-dev libcurl4-openssl-dev openssl ca-certificates
  libsqlite3-0 libsqlite3-dev tzdata
  ofx opensp ofxstatement python3-ofxparse curl
  libfinance-qif-perl libofx-doc
)

# Peers of the benchmarks only (ofxdump comes with ofx above, which the tests
# use too).
BENCH_PACKAGES=(
  ledger hledger
)

if [ "${1:-}" = "--bench" ]; then
  PACKAGES=("${BENCH_PACKAGES[@]}")
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--bench]" >&2
  exit 2
fi

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
