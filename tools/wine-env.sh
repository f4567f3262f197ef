# shellcheck shell=bash
# wine-env.sh - sourced by the Wine scripts: where Wine is and how it is set up.
# Expects WINEPREFIX to be set by the caller (a prefix inside the build tree).
# A prefix belongs to the Wine that made it: a newer Wine upgrades a prefix in
# place, and an older one should not be handed it afterwards. The second
# platform's root (tools/wine10.sh) names its Wine in /etc/dialvane-wine, and
# there every prefix gets that name appended (build/x64/wineprefix-wine10).
WINE_PREFIX_SUFFIX=""
[ ! -r /etc/dialvane-wine ] || WINE_PREFIX_SUFFIX="-$(cat /etc/dialvane-wine)"
case "${WINEPREFIX:-}" in
""|*"$WINE_PREFIX_SUFFIX") ;;
*) WINEPREFIX="$WINEPREFIX$WINE_PREFIX_SUFFIX" ;;
esac

# Debian's Wine, on both platforms: with wine32 installed, the plain "wine"
# command starts the 32-bit loader first.
export WINE=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko install prompts.
export WINEDLLOVERRIDES="mscoree=;mshtml="
# Wine's metric-compatible Windows fonts (package fonts-wine), copied into
# every prefix; the dialog font's file tells whether a prefix has them.
# shellcheck disable=SC2034 # read by wine-session.sh, which sources this
WINE_FONTS_DIR=/usr/share/wine/fonts WINE_DIALOG_FONT_FILE=sserife.fon
# Where 32-bit programs run under qemu-i386: a guest of the 2 GiB of a 32-bit
# Windows process, or Wine's address-space reservation takes half a minute
# for every 32-bit process start. Natively it is not read.
export QEMU_RESERVED_VA=0x7fff0000
# shellcheck source=SCRIPTDIR/setup-values.sh
. "$(dirname "${BASH_SOURCE[0]}")/setup-values.sh"
[ "$(setup_value WINE32)" != emulated ] || export DIALVANE_32BIT_EMULATED=1
