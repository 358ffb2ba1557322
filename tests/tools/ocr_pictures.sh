#!/usr/bin/env bash
# The words of the screens as a player reads them: OCR (tesseract) of the generated main menu,
# pause menu, rules and level-complete pictures, in Russian (data/) and English (data/en/),
# must find every entry and heading of each screen.
#
#   ocr_pictures.sh DATA_DIR
#
# Exit 0 = every word found, 77 = skipped (tesseract, its languages or ImageMagick missing).
set -u
DATA=${1:?usage: ocr_pictures.sh DATA_DIR}
export LC_ALL=C.UTF-8
for t in tesseract convert; do
    command -v "$t" >/dev/null 2>&1 || { echo "SKIP: '$t' is not installed"; exit 77; }
done
langs=$(tesseract --list-langs 2>/dev/null)
for l in eng rus; do
    grep -qx "$l" <<<"$langs" || { echo "SKIP: tesseract has no '$l' data"; exit 77; }
done
TMP=$(mktemp -d "${TMPDIR:-/tmp}/sb-ocr.XXXXXX") || exit 1
trap 'rm -rf "$TMP"' EXIT
failed=0

# read_screen DIR OCRLANG PICTURE[:CROP]...: each picture (or its CROP, WxH+X+Y) through
# tesseract as our light-on-dark screens read best: grey, enlarged 200 %, black on white, the
# words read as sparse text. Prints the words on one line, stray marks left out.
read_screen() {
    local dir=$1 ocr=$2 f crop; shift 2
    for f in "$@"; do
        crop=()
        [[ $f == *:* ]] && crop=(-crop "${f#*:}" +repage)
        convert "$dir/all_jpg/${f%%:*}" "${crop[@]}" -colorspace Gray -resize 200% -threshold 50% -negate \
            "$TMP/page.png" || return 1
        tesseract "$TMP/page.png" - -l "$ocr" --psm 11 2>/dev/null
    done | sed 's/[^[:alnum:] ]/ /g' | tr '\n' ' ' | tr -s ' '
}

# expect LANG NAME TEXT WORDS...: each of WORDS is in TEXT (letter case ignored).
expect() {
    local lang=$1 name=$2 text=$3 w; shift 3
    for w in "$@"; do
        if grep -qiF -- "$w" <<<"$text"; then echo "ok   $lang $name: '$w'"
        else echo "FAIL $lang $name: '$w' not read in: $text"; failed=1; fi
    done
}

check() {
    local lang=$1 dir=$2 ocr=$3; shift 3
    local text
    # The lit entry may be missed on its gradient: each entry is read unlit in one of two pictures.
    text=$(read_screen "$dir" "$ocr" rm1x.jpg rm6x.jpg)
    expect "$lang" "main menu" "$text" "${MENU[@]}"
    text=$(read_screen "$dir" "$ocr" rb1x.jpg rb3x.jpg)
    expect "$lang" "pause menu" "$text" "${PAUSE[@]}"
    text=$(read_screen "$dir" "$ocr" readx.jpg)
    expect "$lang" "rules" "$text" "${RULES[@]}"
    # The level line stands beside its number's box, which the page layout takes for a picture.
    text=$(read_screen "$dir" "$ocr" lvl1x.jpg lvl1x.jpg:230x110+0+250 lvl2x.jpg)
    expect "$lang" "level complete" "$text" "${LEVEL[@]}"
}

MENU=("ГЛАВНОЕ МЕНЮ" "Новая игра" "Таблица рекордов" "Управление" "Об игре" "Правила" "Выход")
PAUSE=("ПАУЗА" "Продолжить" "Главное меню" "Выход")
RULES=("ПРАВИЛА" "Враги и очки за них" "Бонусы" "Оружие")
LEVEL=("СЕКТОР ЗАЧИЩЕН" "УРОВЕНЬ" "Нажмите Enter")
check ru "$DATA" rus+eng  # the Russian screens name their keys in Latin letters

MENU=("MAIN MENU" "New game" "High scores" "Controls" "About" "How to play" "Quit")
PAUSE=("PAUSED" "Resume" "Main menu" "Quit")
RULES=("HOW TO PLAY" "Enemies and their points" "Bonuses" "Weapons")
LEVEL=("SECTOR CLEARED" "LEVEL" "Press Enter")
check en "$DATA/en" eng

exit "$failed"
