#!/usr/bin/env bash
# Installs what `make fuzz` needs besides the normal build: clang with
# libFuzzer and the sanitizer runtimes, and llvm-symbolizer for readable
# stacks. Idempotent, as install-deps.sh.
set -euo pipefail

packages=(clang-14 libclang-rt-14-dev llvm-14)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Instalando: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
