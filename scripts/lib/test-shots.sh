# Sourced by the scripts that run the Windows tests. The tests write their screenshots as BMP into
# the folder VELLORA_SHOT_DIR names; these keep them as PNG for a person to look at.
#   test_shots_begin DIR   uses DIR unless VELLORA_SHOT_DIR is set already (a calling script's)
#   test_shots_end         turns the BMPs into PNGs and lists them
test_shots_begin() {
    export VELLORA_SHOT_DIR="${VELLORA_SHOT_DIR:-$1}"
    mkdir -p "$VELLORA_SHOT_DIR"
}

test_shots_end() {
    local bmp png
    for bmp in "$VELLORA_SHOT_DIR"/*.bmp; do
        [ -e "$bmp" ] || continue
        png="${bmp%.bmp}.png"
        if convert "$bmp" "$png"; then
            rm -f "$bmp"
            echo "== screenshot $png"
        fi
    done
}
