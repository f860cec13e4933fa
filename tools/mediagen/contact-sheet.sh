#!/bin/sh
# Puts the main pictures of a generated media set together as the screens
# show them (masked boards, buttons, marks) and writes one contact sheet.
# usage: contact-sheet.sh <media folder> <resource bitmaps folder> <out.png>
set -e
media=$1 res=$2 out=$3
pic=$media/pic
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
font=$(fc-match -f '%{file}' 'AR PL KaitiM GB')
book=$(dirname "$0")/../../media-src/book.txt
line1=$(awk '/^001 /{getline; print $1; exit}' "$book")
line2=$(awk '/^001 /{getline; getline; print $1; exit}' "$book")
verse="$line1$line2"
char() { printf '%s' "$verse" | python3 -c "import sys; print(sys.stdin.read()[$1 - 1])"; }

# Paints overlay $2 with mask $3 at $4,$5 over $1: where the mask is white
# the page stays, where it is black the overlay shows.
masked() {
    size=$(identify -format %wx%h "$1")
    convert "$1" \( "$3" -background white -extent "$size-$4-$5" \) -compose Multiply -composite "$1"
    convert "$1" \( "$2" -background black -extent "$size-$4-$5" \) -compose Plus -composite "$1"
}
grid() { # page T
    args=""
    for i in $(seq 1 14); do
        x=$(( ((i - 1) % 7) * 86 + 15 + 4 )); y=$(( ((i - 1) / 7) * 180 + $2 + 70 ))
        args="$args -annotate +$x+$y $(char "$i")"
    done
    # shellcheck disable=SC2086
    convert "$1" -font "$font" -pointsize 62 -fill white $args "$1"
}

# Menu with its buttons, selection mark, count frame and verse.
cp "$pic/menu.jpg" "$tmp/menu.png"
for i in 0 1 2 3; do
    convert "$tmp/menu.png" \( "$res/MAINBUTN$((i + 1)).bmp" -crop 90x75+0+0 +repage \) \
        -geometry +4+$((179 + 75 * i)) -composite "$tmp/menu.png"
done
convert "$tmp/menu.png" "$pic/selected.bmp" -geometry +111+195 -composite \
    "$pic/added01.jpg" -geometry +388+64 -composite \
    -fill white -draw 'rectangle 170,72 235,115' -draw 'rectangle 106,132 475,167' \
    -fill '#323232' -font "$font" -pointsize 37 -annotate +192+108 1 -annotate +405+116 1 \
    -fill '#444444' -pointsize 21 -annotate +112+158 "$line1，$line2" "$tmp/menu.png"

cp "$pic/bg_A001.jpg" "$tmp/recital.png"
masked "$tmp/recital.png" "$pic/border_m1.jpg" "$pic/border.jpg" 5 58
grid "$tmp/recital.png" 65
convert "$tmp/recital.png" \( "$res/BACK.bmp" -crop 20x20+0+0 +repage \) -composite "$tmp/recital.png"

cp "$pic/bg_A005.jpg" "$tmp/pointing.png"
masked "$tmp/pointing.png" "$pic/b&n_m1.jpg" "$pic/b&n.jpg" 1 30
grid "$tmp/pointing.png" 85
convert "$tmp/pointing.png" "$pic/hand_p.bmp" -geometry +125+220 -composite "$tmp/pointing.png"

cp "$pic/bg_A007.jpg" "$tmp/review.png"
masked "$tmp/review.png" "$pic/b&n_m0.jpg" "$pic/b&n1.jpg" 1 30
grid "$tmp/review.png" 85
masked "$tmp/review.png" "$pic/hand.bmp" "$pic/hand_m.bmp" 211 40
convert "$tmp/review.png" "$pic/newword.bmp" -geometry +592+432 -composite "$tmp/review.png"

cp "$pic/bg_A010.jpg" "$tmp/test.png"
masked "$tmp/test.png" "$pic/border_m.jpg" "$pic/border.jpg" 7 49
grid "$tmp/test.png" 53
convert "$tmp/test.png" "$pic/arrows.bmp" -geometry +255+445 -composite \
    "$pic/score.bmp" -geometry +0+392 -composite "$pic/start.bmp" -geometry +571+410 -composite \
    "$tmp/test.png"

convert "$pic/bg_A003.jpg" -stroke '#c8c8c8' -strokewidth 4 -fill none -draw 'rectangle 120,14 520,414' \
    -strokewidth 1 -draw 'line 320,14 320,414' -draw 'line 120,214 520,214' \
    -stroke none -fill white -font "$font" -pointsize 360 -annotate +140+356 "$(char 1)" \
    "$pic/sound1.bmp" -geometry +600+449 -composite "$tmp/flash.png"

convert "$res/DLGBOX.bmp" "$res/LABEL01.bmp" -geometry +56+14 -composite \
    \( "$res/BUTN01.bmp" -crop 82x36+0+0 +repage \) -geometry +29+53 -composite \
    \( "$res/BUTN02.bmp" -crop 82x36+0+0 +repage \) -geometry +128+53 -composite "$tmp/dialog.png"

convert "$media/tav_KJ/tav_H001.bmp" "$media/tav_KJ/tav_Y001.bmp" "$media/tav_KJ/tav_J001.bmp" \
    \( "$media/tav_KJ/tav.bmp" -crop 419x125+0+0 +repage \) -background white -gravity center -append "$tmp/blocks.png"

[ -n "$KEEP" ] && cp "$tmp"/*.png "$KEEP"/
montage -label '%t' -font "$font" -pointsize 14 -background '#fff8e1' \
    "$tmp/menu.png" "$tmp/recital.png" "$tmp/pointing.png" "$tmp/flash.png" \
    "$tmp/test.png" "$tmp/review.png" "$pic/game1.jpg" "$pic/exit.jpg" \
    "$tmp/dialog.png" "$tmp/blocks.png" "$pic/bg_A002.jpg" "$pic/bg_A008.jpg" \
    -tile 4x -geometry 320x240+6+6 "$out"
