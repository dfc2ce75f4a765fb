#!/bin/sh
# The installer under Wine, silently: the two programs, the Start-menu entry and the uninstaller
# in place, the uninstall entry written; then the uninstaller removes all of them.
#   installer.sh WINE SETUP.EXE
set -u
wine=$1 setup=$2
dir='C:\LinkmateInstallTest'
unix="$WINEPREFIX/drive_c/LinkmateInstallTest"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/LINKMATE/LINKMATE.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\LINKMATE'
fail() { echo "$1"; exit 1; }

"$wine" "$setup" /S "/D=$dir" || fail "the installer failed"
for f in linkmate.exe linkmate-cli.exe uninstall.exe; do
    [ -f "$unix/$f" ] || fail "not installed: $f"
done
[ -f "$menu" ] || fail "no Start-menu entry"
"$wine" reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "no uninstall entry"
"$wine" "$unix/linkmate-cli.exe" --help >/dev/null 2>&1 || fail "the installed linkmate-cli.exe does not run"
echo "installed: $(ls "$unix" | tr '\n' ' ')"

# _?= runs the uninstaller in place, so that it is done when it returns.
"$wine" "$unix/uninstall.exe" /S "_?=$dir" || fail "the uninstaller failed"
for f in linkmate.exe linkmate-cli.exe; do
    [ ! -e "$unix/$f" ] || fail "left behind: $f"
done
[ ! -e "$menu" ] || fail "the Start-menu entry was left behind"
! "$wine" reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry was left behind"
rm -rf "$unix"  # the uninstaller itself, which an in-place run cannot delete
echo "uninstalled"
