#!/usr/bin/env bash
# Every shipped program stands alone: it imports only DLLs that Windows 10 ships (no MinGW runtime DLL), and carries
# a version resource with the product's version.
# Usage: standalone.sh OBJDUMP VERSION FILE...
set -uo pipefail
objdump=$1 version=$2
shift 2

# The system DLLs a program of ours may import: all in System32 on a clean Windows 10.
allowed=" kernel32.dll user32.dll gdi32.dll shell32.dll comctl32.dll comdlg32.dll advapi32.dll ole32.dll oleaut32.dll oleacc.dll "
allowed+=" shlwapi.dll shcore.dll dwmapi.dll uxtheme.dll msimg32.dll version.dll msvcrt.dll ucrtbase.dll ntdll.dll "
version_utf16=$(printf '%s' "$version" | iconv -f ASCII -t UTF-16LE | od -An -tx1 | tr -d ' \n')

status=0
for file in "$@"; do
  imports=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
  [ -n "$imports" ] || { echo "$file: no imports read"; status=1; }
  for dll in $imports; do
    case "$dll" in
      api-ms-win-*) ;;
      *) [[ $allowed == *" $dll "* ]] || { echo "$file imports $dll, which Windows does not ship"; status=1; } ;;
    esac
  done
  od -An -tx1 -v "$file" | tr -d ' \n' | grep -q "$version_utf16" ||
    { echo "$file carries no version $version"; status=1; }
done
exit $status
