#!/usr/bin/env bash
# Installs what Fotello needs to build, test and run on Debian 12.
# Idempotent: asks apt only for packages that are missing.
# Installs without recommended packages, so anything only recommended that we
# need is named here (`make test-fresh` proves the list on a bare root).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config         # toolchain
  qt6-base-dev qt6-base-dev-tools libgl-dev            # windows, controls, image I/O
  libqt6gui6                                           # xcb and offscreen platforms, BMP/JPEG/GIF/ICO plug-ins
  libqt6svg6 breeze-icon-theme                         # toolbar and tree icons (SVG theme)
  libsqlcipher-dev                                     # encrypted settings database
  libwmf-dev libwmf-bin libexpat1-dev                  # WMF rendering (libwmf links expat)
  libjpeg62-turbo-dev                                  # libwmf's link line asks for -ljpeg
  fonts-urw-base35                                     # libwmf draws nothing without these (only recommended)
  libgtest-dev libgmock-dev libbenchmark-dev           # tests, benchmarks
  xvfb xauth                                           # running and testing without a display
  xdg-utils                                            # mail, open with the associated program
  libvips-tools                                        # vipsthumbnail, the thumbnail benchmark's yardstick
  fonts-dejavu-core                                    # a font present on every machine: captions measure the same
  desktop-file-utils appstream                         # menu entry and metainfo validators (tests)
  dpkg-dev file                                        # make deb: dpkg-shlibdeps, and file, which CPack runs first
  cups cups-client printer-driver-cups-pdf             # printing tests: their own cupsd, lpadmin/lpstat, a PDF printer
  poppler-utils                                        # pdfinfo, pdftoppm: the tests read the printed pages
)

# Other lists (make fuzz's clang) are named on the command line instead.
if [ $# -gt 0 ]; then packages=("$@"); fi

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
