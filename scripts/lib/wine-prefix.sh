# Sourced by the scripts that run our Windows programs under Wine.
#   wine_prefix DIR   sets $wine and $wineserver, exports WINEPREFIX=DIR and the quiet settings, and
#                     makes the prefix on first use.
wine_prefix() {
    wine="$(command -v wine64 || true)"
    [ -n "$wine" ] || wine=/usr/lib/wine/wine64
    wineserver="$(command -v wineserver || true)"
    [ -n "$wineserver" ] || wineserver=/usr/lib/wine/wineserver
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    # No Mono or Gecko installer prompts in a fresh prefix.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "== making the Wine prefix $WINEPREFIX"
        "$wine" wineboot -i >/dev/null 2>&1 || true
        # There is no window manager on the virtual display: unmanaged windows spare Wine its wait
        # for one whenever a top-level window is hidden or destroyed. A real desktop has one.
        "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        "$wineserver" -w
    fi
    # Wine draws dialog text with the fonts of Debian's fonts-wine (MS Sans Serif, Tahoma, the
    # Marlett glyphs of the caption buttons), but this Wine does not look for them where that
    # package puts them: the prefix's own font folder, which Wine always reads, links to them.
    local font fonts="$WINEPREFIX/drive_c/windows/Fonts"
    [ -d "$fonts" ] || return 0
    for font in /usr/share/wine/fonts/*; do
        [ -e "$font" ] || continue
        [ -e "$fonts/${font##*/}" ] || ln -s "$font" "$fonts/"
    done
}
