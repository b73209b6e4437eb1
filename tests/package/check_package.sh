#!/usr/bin/env bash
# The Debian package as CPack builds it from a build tree: exactly the files an installed program needs, a menu
# entry and AppStream metadata that the desktop's validators accept, a description and a menu name as they should
# read, and dependencies that start it and play its stations.
#   check_package.sh BUILD_DIR
set -euo pipefail

build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    fail "cpack could not build the package"
}
deb=$(ls "$work"/vimaro_*.deb)

expected=(usr/bin/vimaro usr/share/applications/org.example.vimaro.desktop
    usr/share/icons/hicolor/scalable/apps/org.example.vimaro.svg usr/share/metainfo/org.example.vimaro.metainfo.xml
    usr/share/vimaro/tv.mdb usr/share/vimaro/tvset.ini)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/org.example.vimaro.png")
done
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)
[ "$files" = "$(printf '%s\n' "${expected[@]}" | sort)" ] || fail "the package holds
$files"

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/org.example.vimaro.desktop" ||
    fail "the desktop entry is not valid"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.example.vimaro.metainfo.xml" ||
    fail "the AppStream metadata is not valid"
[ -x "$work/root/usr/bin/vimaro" ] || fail "the program is not executable"
# The menu shows the entry's unlocalised name in every locale but Chinese ones.
grep -qx 'Name=Vimaro 电视电台快选' "$work/root/usr/share/applications/org.example.vimaro.desktop" ||
    fail "the menu entry is not called Vimaro 电视电台快选 in every locale"
description=$(dpkg-deb -f "$deb" Description)
[[ "$description" != *";"* ]] || fail "the package description shows a semicolon: $description"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6network6 libsqlite3-0 qt6-qpa-plugins qt6-translations-l10n fonts-wqy-microhei \
    xdg-utils; do
    [[ "$depends" == *"$package"* ]] || fail "the package does not depend on $package: $depends"
done
echo "PASS: $(basename "$deb") holds ${#expected[@]} files and depends on $depends"
