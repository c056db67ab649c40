#!/usr/bin/env bash
# Builds the release of the working tree into dist/: the portable zip, the per-user installer, the debug symbols,
# SHA256SUMS and the winget and scoop manifests. No arguments; installs the Debian packages it lacks.
#
# Reproducible: two runs on the same commit, in any two folders, give the same bytes. File times come from the
# commit (SOURCE_DATE_EPOCH), the build keeps its folders out of the binaries and stamps no link time, and every
# archive lists its files in a fixed order with fixed times and permissions.
#
# For the tests, SKIMLET_RELEASE_FROM=<build folder> packages the products of that (Windows) build instead of making
# a release build, and SKIMLET_RELEASE_OUT=<folder> writes there instead of dist/.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ROOT"

# Where the release files are published: the winget and scoop manifests download
# "$DOWNLOAD_BASE/<version>/<file>". Whoever publishes sets this (or SKIMLET_DOWNLOAD_BASE) to the real address.
DOWNLOAD_BASE=${SKIMLET_DOWNLOAD_BASE:-https://skimlet.example.org/download}

PUBLISHER="The Skimlet developers"
HOMEPAGE="http://skimlet.example.org"
DESCRIPTION="Window picker and snapshot tool"

ensure_packages "${PACKAGES[@]}"

version=$(sed -n 's/.*kVersion = L"\([0-9.]*\)".*/\1/p' src/core/Product.h)
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "No version in src/core/Product.h" >&2; exit 1; }
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || { echo "Not a git checkout: set SOURCE_DATE_EPOCH" >&2; exit 1; }
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
umask 022

# chmcmd stamps the compile time into a help file twice, both in its uncompressed part: in the header (4 bytes at
# offset 16) and in entry 10 of the #SYSTEM file. Both are cleared; nothing reads them.
le_at() { od -An -tu"$2" -j"$1" -N"$2" "$3" | tr -d ' '; }  # OFFSET SIZE FILE: a little-endian number
zero_at() { head -c "$2" /dev/zero | dd of="$3" bs=1 seek="$1" conv=notrunc status=none; }  # OFFSET COUNT FILE
clear_chm_times() {
  local chm=$1 at pos value start length code size
  zero_at 16 4 "$chm"
  # The directory entry "/#SYSTEM": the name, then its section, offset and length as 7-bit encoded numbers.
  at=$(grep -obUa '/#SYSTEM' "$chm" | head -n 1 | cut -d: -f1)
  [ -n "$at" ] || { echo "No #SYSTEM in $chm" >&2; return 1; }
  pos=$((at + 8))
  local numbers=()
  while [ ${#numbers[@]} -lt 3 ]; do
    value=0
    while :; do
      code=$(le_at "$pos" 1 "$chm")
      pos=$((pos + 1))
      value=$(((value << 7) | (code & 127)))
      [ $((code & 128)) -ne 0 ] || break
    done
    numbers+=("$value")
  done
  start=$(($(le_at 88 8 "$chm") + numbers[1]))
  length=${numbers[2]}
  # After a 4-byte version, entries of a 2-byte code, a 2-byte size and the data.
  pos=$((start + 4))
  while [ "$pos" -lt $((start + length)) ]; do
    code=$(le_at "$pos" 2 "$chm")
    size=$(le_at $((pos + 2)) 2 "$chm")
    [ "$code" -ne 10 ] || zero_at $((pos + 4)) "$size" "$chm"
    pos=$((pos + 4 + size))
  done
}

if [ -n "${SKIMLET_RELEASE_FROM:-}" ]; then
  build=$(cd "$SKIMLET_RELEASE_FROM" && pwd)
else
  # A build of its own, from a clean configuration, of the shipped targets only.
  build="$ROOT/build/release"
  rm -rf "$build"
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKIMLET_TESTS=OFF -DSKIMLET_REPRODUCIBLE=ON >/dev/null
  cmake --build "$build" --target skimlet skimlet_console skimlet_png skimlet_help
fi
bin="$build/bin"
[ -f "$bin/skimlet.chm" ] || { echo "No help file in $bin: chmcmd (fp-utils) is missing" >&2; exit 1; }

out=${SKIMLET_RELEASE_OUT:-$ROOT/dist}
rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage="$build/stage"
rm -rf "$stage"
mkdir -p "$stage/program" "$stage/symbols"

programs=(skimlet.exe skimlet.com skimlet.dll skimlet.chm LICENSE.txt README.txt)
symbols=(skimlet.exe.debug skimlet.com.debug skimlet.dll.debug)
cp "$bin/skimlet.exe" "$bin/skimlet.com" "$bin/skimlet.dll" "$bin/skimlet.chm" "$stage/program/"
# The texts in Windows' line ends.
sed 's/$/\r/' LICENSE >"$stage/program/LICENSE.txt"
sed "s/@VERSION@/$version/; s/\$/\r/" installer/README.txt >"$stage/program/README.txt"
for f in "${symbols[@]}"; do cp "$bin/$f" "$stage/symbols/"; done
clear_chm_times "$stage/program/skimlet.chm"
chmod 644 "$stage"/program/* "$stage"/symbols/*
touch -h -d "@$SOURCE_DATE_EPOCH" "$stage"/program/* "$stage"/symbols/*

# A zip of the named files, in that order, with no extra fields (owner, access times): only the times set above.
zip_files() {
  local archive=$1 folder=$2
  shift 2
  (cd "$folder" && zip -q -X -9 "$archive" "$@")
}

name="skimlet-$version-win64"
zip_files "$out/$name.zip" "$stage/program" "${programs[@]}"
zip_files "$out/$name-symbols.zip" "$stage/symbols" "${symbols[@]}"

size_kb=$(( ($(cat "${programs[@]/#/$stage/program/}" | wc -c) + 1023) / 1024 ))
makensis -V2 -NOCD -DVERSION="$version" -DFILES="$stage/program" -DICON="$build/art/mainicon.ico" \
  -DSIZE_KB="$size_kb" -DOUTFILE="$out/$name-setup.exe" installer/skimlet.nsi

(cd "$out" && sha256sum "$name.zip" "$name-setup.exe" "$name-symbols.zip" >SHA256SUMS)
sha_of() { sha256sum "$out/$1" | cut -d' ' -f1; }
zip_sha=$(sha_of "$name.zip")
setup_sha=$(sha_of "$name-setup.exe")
release_date=$(date -u -d "@$SOURCE_DATE_EPOCH" +%Y-%m-%d)
url="$DOWNLOAD_BASE/$version"

# winget: the three manifests of one version, in the current schema. The installer is NSIS's, per user.
id="Skimlet.Skimlet"
schema=1.12.0
mkdir -p "$out/winget"
cat >"$out/winget/$id.yaml" <<YAML
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.version.$schema.schema.json

PackageIdentifier: $id
PackageVersion: $version
DefaultLocale: en-US
ManifestType: version
ManifestVersion: $schema
YAML
cat >"$out/winget/$id.installer.yaml" <<YAML
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.installer.$schema.schema.json

PackageIdentifier: $id
PackageVersion: $version
InstallerLocale: en-US
InstallerType: nullsoft
Scope: user
InstallModes:
- interactive
- silent
- silentWithProgress
UpgradeBehavior: install
ReleaseDate: $release_date
InstallationMetadata:
  DefaultInstallLocation: '%LOCALAPPDATA%\Programs\Skimlet'
Installers:
- Architecture: x64
  InstallerUrl: $url/$name-setup.exe
  InstallerSha256: ${setup_sha^^}
ManifestType: installer
ManifestVersion: $schema
YAML
cat >"$out/winget/$id.locale.en-US.yaml" <<YAML
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.defaultLocale.$schema.schema.json

PackageIdentifier: $id
PackageVersion: $version
PackageLocale: en-US
Publisher: $PUBLISHER
PublisherUrl: $HOMEPAGE
PackageName: Skimlet
PackageUrl: $HOMEPAGE
License: MIT
Copyright: Copyright (c) 2026 $PUBLISHER
ShortDescription: $DESCRIPTION
Description: Drag a crosshair over any window to see its handle, title, class, styles, font and geometry; enable, show, pin, fade, move or resize it; take window and region snapshots; let close-or-click tasks deal with nagging windows. With a command line, skimlet.com.
Moniker: skimlet
Tags:
- window
- screenshot
- window-manager
- utility
ManifestType: defaultLocale
ManifestVersion: $schema
YAML

# scoop: the portable zip. "skimlet" in a shell runs skimlet.com; the lists and the action log persist across
# updates. Scoop persists a file as a hard link, and would make a folder of a file that does not exist yet: the
# install makes the missing ones empty. Skimlet saves a list through a new file renamed into place, which parts it
# from the persisted copy: before an update or an uninstall, the list that changed is copied back.
mkdir -p "$out/scoop"
sed -e "s|@VERSION@|$version|g" -e "s|@DESCRIPTION@|$DESCRIPTION|" -e "s|@HOMEPAGE@|$HOMEPAGE|" \
  -e "s|@URL@|$url/$name.zip|" -e "s|@HASH@|$zip_sha|" -e "s|@DOWNLOAD_BASE@|$DOWNLOAD_BASE|" >"$out/scoop/skimlet.json" <<'JSON'
{
    "version": "@VERSION@",
    "description": "@DESCRIPTION@",
    "homepage": "@HOMEPAGE@",
    "license": "MIT",
    "architecture": {
        "64bit": {
            "url": "@URL@",
            "hash": "@HASH@"
        }
    },
    "bin": "skimlet.com",
    "shortcuts": [
        [
            "skimlet.exe",
            "Skimlet"
        ]
    ],
    "pre_install": [
        "foreach ($f in 'skimlet.ini', 'skimlet.log', 'skimlet.actions.txt') {",
        "    if (!(Test-Path \"$persist_dir\\$f\")) { New-Item \"$dir\\$f\" -ItemType File -Force | Out-Null }",
        "}"
    ],
    "uninstaller": {
        "script": [
            "foreach ($f in 'skimlet.ini', 'skimlet.log', 'skimlet.actions.txt') {",
            "    $kept = \"$persist_dir\\$f\"",
            "    if ((Test-Path \"$dir\\$f\") -and (Test-Path $kept) -and ((Get-FileHash \"$dir\\$f\").Hash -ne (Get-FileHash $kept).Hash)) {",
            "        Copy-Item \"$dir\\$f\" $kept -Force",
            "    }",
            "}"
        ]
    },
    "persist": [
        "skimlet.ini",
        "skimlet.log",
        "skimlet.actions.txt"
    ],
    "autoupdate": {
        "architecture": {
            "64bit": {
                "url": "@DOWNLOAD_BASE@/$version/skimlet-$version-win64.zip"
            }
        }
    }
}
JSON
find "$out" -type f -exec touch -d "@$SOURCE_DATE_EPOCH" {} +

echo "Release $version in $out:"
(cd "$out" && find . -type f | sort)
