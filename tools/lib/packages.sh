# shellcheck shell=bash
# The Debian packages the launcher is built with, and an installer for those missing; sourced by tools/setup and
# tools/package.
#   install_missing PACKAGE...   install the packages that are not installed yet (apt-get update first)

# shellcheck disable=SC2034 # read by the scripts that source this file
build_packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-qpa-plugins qt6-tools-dev qt6-l10n-tools libsqlite3-dev sqlite3 mdbtools-dev
    librsvg2-bin fonts-wqy-microhei qt6-translations-l10n zlib1g-dev libglib2.0-dev)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
    local package missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing ${missing[*]}"
        as_root apt-get update
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}
