#!/usr/bin/env bash
# VelloraSetup.exe run end to end as a user runs it: under Wine on a virtual display, its windows
# found by their captions and answered with real keys and clicks through the X server (xdotool).
# What X cannot show (a window's texts and buttons, the pointer) is read by the probe inside Wine.
#
#   installer_e2e.sh [--screenshots DIR] [--only NAME] [BUILD]
#
# BUILD is the win64 tree (default build/win64), built with VelloraSetup, VelloraSaver, the probe
# and the version fixtures (vellora_installer_tests brings them). The Wine prefix BUILD/wineprefix-installer is this script's own (cases
# change its Windows directory, registry and system.ini) and is made on the first run. Screenshots of the fresh install go to DIR (default
# BUILD/installer-screenshots). Prints a GoogleTest-style summary; the status is 1 on a failure.
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
shots=""
only=""
build=""
while [ $# -gt 0 ]; do
    case "$1" in
        --screenshots) shots="$2"; shift ;;
        --only) only="$2"; shift ;;
        *) build="$1" ;;
    esac
    shift
done
build="$(cd "${build:-$root/build/win64}" && pwd)"
shots="${shots:-$build/installer-screenshots}"
mkdir -p "$shots"
shots="$(cd "$shots" && pwd)"

# Everything runs inside one virtual display of its own.
if [ -z "${VELLORA_E2E_DISPLAY:-}" ]; then
    exec timeout 900 xvfb-run -a -s "-screen 0 1024x768x24" \
        env VELLORA_E2E_DISPLAY=1 "$0" --screenshots "$shots" ${only:+--only "$only"} "$build"
fi

# shellcheck source=../../../scripts/lib/wine-prefix.sh
. "$root/scripts/lib/wine-prefix.sh"
wine_prefix "$build/wineprefix-installer"

setup="$build/installer/VelloraSetup.exe"
saver="$build/saver/app/VelloraSaver.scr"
probe_exe="$build/tests/win/installer/vellora_installer_probe.exe"
older="$build/tests/win/fixtures/version_1_1_0_0.dll"  # a module with "FileVersion" 1,1,0,0
for file in "$setup" "$saver" "$probe_exe" "$older"; do
    [ -f "$file" ] || { echo "missing $file: build the win64 tree first" >&2; exit 1; }
done

windows="$WINEPREFIX/drive_c/windows"
target="$windows/VelloraSaver.scr"
target_win='C:\windows\VelloraSaver.scr'
key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Vellora Saver'
welcome="Vellora Saver Installer"
work="$build/installer-e2e"
mkdir -p "$work"

# --- helpers -------------------------------------------------------------------------------------

probe() { "$wine" "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }

# The X window with exactly this name, waited for up to 20 s.
x_window() {
    local id="" i
    for i in $(seq 100); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && break
        sleep 0.2
    done
    echo "$id"
}

# Focuses the window with this caption and presses keys on it.
press() {
    local caption="$1" id
    shift
    id=$(x_window "$caption")
    [ -n "$id" ] || { note "no window \"$caption\" to press $* on"; return 1; }
    xdotool windowfocus --sync "$id" key "$@"
}

# Clicks the middle of the control with this id in the window with this caption.
click() {
    local caption="$1" id="$2" rect x y
    rect=$(probe window "$caption" 20000 | awk -v id="$id" '$1 == "control" && $2 == "id=" id {print $5; exit}')
    [ -n "$rect" ] || { note "no control $id in \"$caption\""; return 1; }
    IFS=, read -r left top right bottom <<<"${rect#rect=}"
    x=$(((left + right) / 2))
    y=$(((top + bottom) / 2))
    xdotool mousemove "$x" "$y" click 1
}

# The texts of a window: "window|caption", then "id|text" for each visible control (a message
# box's text has id 65535; an icon control that shows an icon reads "id|(icon)"). Empty when no
# window has this caption in 20 s.
texts() {
    probe window "$1" 20000 | awk '
        $1 == "window" { match($0, / text=.*/); print "window|" substr($0, RSTART + 6) }
        $1 == "control" {
            # WS_VISIBLE is bit 28, the lowest bit of the top hexadecimal digit.
            split($4, style, "="); visible = index("13579bdfBDF", substr(style[2], 3, 1)) > 0
            match($0, / text=.*/); text = substr($0, RSTART + 6)
            if ($6 == "icon=1") text = "(icon)"
            sub("id=", "", $2)
            if (visible) print $2 "|" text
        }'
}

screenshot() { import -window root "$1" 2>/dev/null; }

# The colour of a pixel of a picture, as ImageMagick names it: srgb(r,g,b).
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info: 2>/dev/null; }

start_installer() {
    "$wine" "$setup" >/dev/null 2>&1 &
    installer_pid=$!
}

# Waits up to 30 s for the installer to end and sets exit_code: its exit code, or "hung". (Not a
# command substitution: a subshell cannot wait for this shell's child.)
wait_installer() {
    local i
    exit_code=hung
    for i in $(seq 150); do
        if ! kill -0 "$installer_pid" 2>/dev/null; then
            wait "$installer_pid"
            exit_code=$?
            return
        fi
        sleep 0.2
    done
}

reg_value() {  # NAME: "TYPE VALUE" of the uninstall entry's value, empty when it is not there
    "$wine" reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v name="$1" '$1 == name { $1 = ""; sub(/^ +/, ""); t = $1; $1 = ""; sub(/^ +/, ""); print t " " $0 }'
}

key_exists() { "$wine" reg query "$key" >/dev/null 2>&1; }

scrnsave() { tr -d '\r' <"$windows/system.ini" 2>/dev/null | sed -n 's/^SCRNSAVE.EXE=//p'; }

# Temporary and kept copies the installer may leave behind.
leftovers() { find "$windows" "$WINEPREFIX/drive_c/users" -maxdepth 6 -iname 'sci*.tmp' 2>/dev/null; }

# Every case starts from a system without the saver, its entry or its system.ini line, and with
# no Wine process left from the case before.
reset_system() {
    "$wineserver" -k 2>/dev/null
    "$wineserver" -w 2>/dev/null
    rm -f "$target" "$windows/uninstss.bat"
    leftovers | xargs -r rm -f
    "$wine" reg delete "$key" /f >/dev/null 2>&1
    [ -f "$windows/system.ini" ] && sed -i '/^SCRNSAVE\.EXE=/d' "$windows/system.ini"
}

# --- the cases, as GoogleTest prints them --------------------------------------------------------

passed=()
failed=()
case_ok=1

note() {
    echo "$1"
    case_ok=0
}

expect_eq() {  # what, actual, expected
    if [ "$2" != "$3" ]; then note "  $1: got \"$2\", expected \"$3\""; fi
}

expect() {  # what, command...
    local what="$1"
    shift
    if ! "$@"; then note "  $what"; fi
}

run_case() {
    local name="$1"
    if [ -n "$only" ] && [ "$only" != "$name" ]; then return; fi
    echo "[ RUN      ] InstallerEndToEnd.$name"
    case_ok=1
    reset_system
    "case_$name"
    if [ "$case_ok" = 1 ]; then
        echo "[       OK ] InstallerEndToEnd.$name"
        passed+=("$name")
    else
        echo "[  FAILED  ] InstallerEndToEnd.$name"
        failed+=("$name")
        screenshot "$work/failed-$name.png"
        echo "  (the screen at the end: $work/failed-$name.png)"
    fi
}

# Runs the installer and answers the welcome dialog with Enter; checks its texts on the way.
install_through_welcome() {
    start_installer
    local got
    got=$(texts "$welcome")
    [ -n "$got" ] || { note "  no welcome dialog"; return 1; }
    expect_eq "welcome line 1" "$(grep '^1001|' <<<"$got" | cut -d'|' -f2-)" "Thanks for downloading Vellora Saver!"
    expect_eq "welcome line 2" "$(grep '^1002|' <<<"$got" | cut -d'|' -f2-)" \
        "Vellora Saver is freeware and may be freely distributed."
    press "$welcome" Return
}

# The message box with this caption: its text, buttons and whether it shows an icon, as
# "text|button,button|icon" or "text|button|no icon".
box() {
    local got icon="no icon"
    got=$(texts "$1")
    [ -n "$got" ] || { echo "none"; return; }
    grep -q '|(icon)$' <<<"$got" && icon=icon
    echo "$(grep '^65535|' <<<"$got" | cut -d'|' -f2-)|$(grep -E '^(1|2|6|7)\|' <<<"$got" | cut -d'|' -f2 | paste -sd,)|$icon"
}

# A fresh install answered with Enter twice; true when it ended with exit code 1.
install_fresh() {
    install_through_welcome || return 1
    [ "$(box Notice)" = "Installation completed!|OK|icon" ] || { note "  no completion notice"; return 1; }
    press Notice Return
    wait_installer
    [ "$exit_code" = 1 ]
}

case_CancelWritesNothing() {
    local how
    for how in "click Cancel" "press Escape"; do
        start_installer
        [ -n "$(texts "$welcome")" ] || { note "  $how: no welcome dialog"; continue; }
        if [ "$how" = "click Cancel" ]; then click "$welcome" 2; else press "$welcome" Escape; fi
        wait_installer
        expect_eq "$how: exit code" "$exit_code" 2
        expect "$how: no module written" test ! -e "$target"
        expect "$how: no uninstall entry" eval '! key_exists'
        expect_eq "$how: no active saver named" "$(scrnsave)" ""
    done
}

case_FreshInstall() {
    start_installer
    local got
    got=$(texts "$welcome")
    [ -n "$got" ] || { note "  no welcome dialog"; return; }
    expect_eq "link" "$(grep '^1000|' <<<"$got" | cut -d'|' -f2-)" "https://vellora.example/download/"
    expect_eq "Install button" "$(grep '^1|' <<<"$got" | cut -d'|' -f2-)" "&Install"

    # The pointer over the link is the installer's own hand, and the arrow again off it.
    local link
    link=$(probe window "$welcome" | awk '$2 == "id=1000" {print $5}')
    IFS=, read -r left top right bottom <<<"${link#rect=}"
    xdotool windowfocus --sync "$(x_window "$welcome")" mousemove $((left + 20)) $((top + 4))
    sleep 0.3
    xdotool mousemove $((left + 24)) $((top + 5))
    sleep 0.3
    expect_eq "pointer over the link" "$(probe cursor "$welcome")" "cursor own"
    xdotool mousemove 5 5
    sleep 0.3

    sleep 0.5
    screenshot "$shots/installer-welcome.png"
    # The backdrop: pure blue at the top, black at the bottom, over the whole work area.
    expect_eq "backdrop's top" "$(pixel "$shots/installer-welcome.png" 0 0)" "srgb(0,0,255)"
    expect_eq "backdrop's bottom" "$(pixel "$shots/installer-welcome.png" 1023 767)" "srgb(0,0,0)"

    press "$welcome" Return
    expect_eq "completion notice" "$(box Notice)" "Installation completed!|OK|icon"
    sleep 0.3
    screenshot "$shots/installer-completed.png"
    press Notice Return
    wait_installer
    expect_eq "exit code" "$exit_code" 1

    expect "the module is the embedded saver, byte for byte" cmp -s "$target" "$saver"
    local short
    short=$(probe shortpath "$target_win")
    expect "a short path for the module" test -n "$short"
    expect_eq "SCRNSAVE.EXE in system.ini" "$(scrnsave)" "$short"
    expect_eq "DisplayName" "$(reg_value DisplayName)" "REG_SZ Vellora Saver"
    expect_eq "UninstallString" "$(reg_value UninstallString)" "REG_SZ $target_win -UNINSTALL"
    expect_eq "DisplayIcon" "$(reg_value DisplayIcon)" "REG_SZ $target_win"
    expect_eq "DisplayVersion" "$(reg_value DisplayVersion)" "REG_SZ 1.2"
    expect_eq "Publisher" "$(reg_value Publisher)" "REG_SZ The Vellora Saver developers"
    local kb=$((($(stat -c %s "$saver") + 1023) / 1024))
    expect_eq "EstimatedSize" "$(reg_value EstimatedSize)" "$(printf 'REG_DWORD 0x%x' "$kb")"
    expect_eq "NoModify" "$(reg_value NoModify)" "REG_DWORD 0x1"
    expect_eq "NoRepair" "$(reg_value NoRepair)" "REG_DWORD 0x1"
    expect_eq "temporary files left" "$(leftovers)" ""
}

# An installed copy of the same version that differs from the embedded one in its last bytes, so
# that "left alone" can be told from "written again".
install_marked_copy() {
    cp "$saver" "$target"
    printf 'installed copy' >>"$target"
    cp "$target" "$work/installed-copy.scr"
}

case_SecondRunDeclinedLeavesTheFile() {
    install_marked_copy
    install_through_welcome || return
    expect_eq "reinstall question" "$(box Notice)" \
        "You have an up-to-date version installed.  Do you still want to install?|&Yes,&No,Cancel|icon"
    click Notice 7  # No
    wait_installer
    expect_eq "exit code" "$exit_code" 1
    expect "the installed file is left byte for byte" cmp -s "$target" "$work/installed-copy.scr"
    expect_eq "temporary files left" "$(leftovers)" ""
    expect "no uninstall entry written" eval '! key_exists'
}

case_OlderCopyIsUpgraded() {
    cp "$older" "$target"
    install_through_welcome || return
    expect_eq "upgrade question" "$(box Install)" \
        "You have an out-of-date version of Vellora Saver on your system.  Do you want to upgrade?|&Yes,&No,Cancel|no icon"
    press Install Return  # Yes, the default button
    expect_eq "completion notice" "$(box Notice)" "Installation completed!|OK|icon"
    press Notice Return
    wait_installer
    expect_eq "exit code" "$exit_code" 1
    expect "the module is replaced by the embedded saver" cmp -s "$target" "$saver"
    expect_eq "temporary and kept copies left" "$(leftovers)" ""
    expect_eq "UninstallString" "$(reg_value UninstallString)" "REG_SZ $target_win -UNINSTALL"
}

case_RunningSaverBlocksTheReplacement() {
    install_marked_copy
    # The installed saver runs as a preview inside a host window of the probe.
    local ready="$work/preview.out"
    "$wine" "$probe_exe" preview "$target_win" >"$ready" 2>/dev/null &
    local host_pid=$! i
    for i in $(seq 100); do grep -q ready "$ready" 2>/dev/null && break; sleep 0.2; done
    expect "the saver runs from the installed file" grep -q ready "$ready"

    install_through_welcome || return
    expect_eq "reinstall question" "$(box Notice | cut -d'|' -f1)" \
        "You have an up-to-date version installed.  Do you still want to install?"
    press Notice Return  # Yes
    expect_eq "in-use message" "$(box 'Install Error')" \
        "Error. Unable to delete old version of Vellora Saver. Make sure it is not in use, and then try again.|OK|icon"
    press 'Install Error' Return
    wait_installer
    expect_eq "exit code" "$exit_code" 1
    expect "the running saver's file stays intact" cmp -s "$target" "$work/installed-copy.scr"
    expect_eq "temporary and kept copies left" "$(leftovers)" ""

    probe close "Vellora preview host" >/dev/null
    for i in $(seq 50); do kill -0 "$host_pid" 2>/dev/null || break; sleep 0.2; done
}

case_SaverUninstallRemovesEntryAndFile() {
    install_fresh || { note "  the install did not complete"; return; }
    # The software list runs the entry's command.
    local command
    command=$(reg_value UninstallString | cut -d' ' -f2-)
    expect_eq "uninstall command" "$command" "$target_win -UNINSTALL"
    timeout 60 "$wine" "$target_win" -UNINSTALL >/dev/null 2>&1
    expect "the uninstall entry is gone" eval '! key_exists'
    local i
    for i in $(seq 100); do [ -e "$target" ] || break; sleep 0.2; done
    expect "the module's file is gone" test ! -e "$target"
}

for name in CancelWritesNothing FreshInstall SecondRunDeclinedLeavesTheFile OlderCopyIsUpgraded \
    RunningSaverBlocksTheReplacement SaverUninstallRemovesEntryAndFile; do
    run_case "$name"
done
"$wineserver" -k 2>/dev/null

echo "[==========] $((${#passed[@]} + ${#failed[@]})) tests from InstallerEndToEnd ran."
echo "[  PASSED  ] ${#passed[@]} tests."
if [ ${#failed[@]} -gt 0 ]; then
    echo "[  FAILED  ] ${#failed[@]} tests, listed below:"
    for name in "${failed[@]}"; do echo "[  FAILED  ] InstallerEndToEnd.$name"; done
    exit 1
fi
echo "screenshots: $shots"
