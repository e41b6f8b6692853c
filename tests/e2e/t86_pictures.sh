# Pictures and printing in Tandrel.exe. A 64x48 bitmap copied from a titled window becomes a JPEG
# clip "Image 64x48" shown on the Image tab; bitmaps too wide for JPEG, very tall or with a short
# colour table leave Tandrel running; "Save Image as File" saves the older picture shown and keeps
# the old file when overwriting is declined; a text clip prints through the print command the
# prefix has for text files. After a restart with UsePNG, a garbage picture in the database fails
# without touching the clipboard, and a PNG clip double-clicked puts the very same pixels back on
# the clipboard, which X11 programs read as image/bmp.

# The print command for text files: the helper copies the file into C:\spool.
helper=$(winepath -w "$BUILD_DIR/tdhelper.exe" | sed 's/\\/\\\\/g')
cat > "$TEST_DIR/print.reg" <<EOF
REGEDIT4

[HKEY_CLASSES_ROOT\\.txt]
@="txtfile"

[HKEY_CLASSES_ROOT\\txtfile\\shell\\print\\command]
@="\\"$helper\\" spool \\"%1\\" C:\\\\spool"
EOF
wine regedit /S "$(winepath -w "$TEST_DIR/print.reg")" >/dev/null 2>&1 || fail "cannot register the print command"
wineserver -w

first_start
data=$(data_dir)
drive_c="$WINEPREFIX/drive_c"

alive() {
    tandrel_running || fail "Tandrel.exe ended after $1"
    ! td findwindow "UNEXPECTED ERROR" >/dev/null || fail "an exception report after $1"
}
log_has() { tr -d '\r' < "$data/tandrel.log" | grep -Fq -- "$1"; }
image_clips() { db "select count(*) from cTbl where cImageSW = 'Y' and cText = '$1'"; }
has_image_clip() { [ "$(image_clips "$1")" -ge 1 ]; }
# The newest stored picture with this caption, into a file.
stored_picture() { db "select hex(cImage) from cTbl where cText = '$1' order by cKey desc limit 1" | xxd -r -p > "$2"; }
status_is() { main_controls | grep -Eq "^[0-9]+ Static visible $1\$"; }
copy_picture() {  # file width height [makedib options] -- title
    local file=$TEST_DIR/$1.dib title=$2; shift 2
    td makedib "$file" "$@" >/dev/null || fail "cannot make the $file bitmap"
    td setraw CF_DIB "$file" --title "$title" >/dev/null || fail "cannot copy the $file bitmap"
}

# --- a copied picture becomes a JPEG clip and shows on the Image tab
copy_picture sketch "Sketch Window" 64 48
wait_until 15 has_image_clip "Image 64x48" || fail "the 64x48 picture was not stored"
[ "$(db "select cSource || '|' || hex(substr(cImage, 1, 3)) from cTbl where cText = 'Image 64x48'")" = "Sketch Window|FFD8FF" ] \
    || fail "stored as: $(db "select cSource, hex(substr(cImage, 1, 4)) from cTbl where cText = 'Image 64x48'")"
stored_picture "Image 64x48" "$TEST_DIR/stored.jpg"
[ "$(identify -format '%wx%h' "$TEST_DIR/stored.jpg")" = 64x48 ] || fail "the stored JPEG is not 64x48"
[ "$(list_captions "$CLIP_LIST" | head -n1)" = "Image 64x48" ] || fail "the picture is not the top row"

read -r left top right bottom < <(td imagerect "$MAIN_TITLE") || fail "no picture box"
cx=$(( (left + right) / 2 )); cy=$(( (top + bottom) / 2 ))
centre_shows_picture() {
    import -window root "$TEST_DIR/screen.png" 2>/dev/null || return 1
    local rgb
    rgb=$(convert "$TEST_DIR/screen.png" -format "%[fx:int(255*p{$cx,$cy}.r+0.5)] %[fx:int(255*p{$cx,$cy}.g+0.5)] %[fx:int(255*p{$cx,$cy}.b+0.5)]" info:)
    read -r r g b <<<"$rgb"
    # The middle of the pattern is flat (200, 40, 90); JPEG keeps it within a few steps.
    [ $(( (r - 200) * (r - 200) + (g - 40) * (g - 40) + (b - 90) * (b - 90) )) -le 300 ]
}
wait_until 15 centre_shows_picture || fail "the Image tab's middle shows $rgb at $cx,$cy, not the picture's (200 40 90)"
cp "$TEST_DIR/screen.png" "$BUILD_DIR/t86-image-tab.png"

# --- extreme and hostile bitmaps
copy_picture wide "Wide Window" 70000 1
copy_picture tall "Tall Window" 1 2000
copy_picture short-table "Palette Window" 4 2 --bits 8 --colours 2 --bad-index
wait_until 15 has_image_clip "Image 1x2000" || fail "the 1x2000 picture was not stored"
wait_until 10 log_has "Clipboard image refused: bitmap colour index past its colour table of 2 entries" \
    || fail "no log line for the short colour table"
log_has "Image not captured: JPEG cannot hold a picture of 70000 x 1 pixels" || fail "no log line for the 70000x1 picture"
alive "the extreme bitmaps"

# --- Save Image as File saves the older picture that is shown, and asks before overwriting
row=$(list_captions "$CLIP_LIST" | grep -nx "Image 64x48" | cut -d: -f1)
[ -n "$row" ] || fail "no row for the 64x48 picture"
td listclick "$MAIN_TITLE" "$CLIP_LIST" $((row - 1)) >/dev/null || fail "cannot click the 64x48 row"
save_as() {
    td click "$MAIN_TITLE" "Save Image as File|Save As File" >/dev/null || fail "no 'Save Image as File' button"
    td setedit "Select Filename" 'C:\saved' 20 >/dev/null || fail "no 'Select Filename' dialog"
    td press "Select Filename" "Save" >/dev/null || fail "cannot press Save"
}
save_as
wait_until 15 test -s "$drive_c/saved.jpg" || fail "C:\\saved.jpg was not written"
[ "$(identify -format '%wx%h' "$drive_c/saved.jpg")" = 64x48 ] || fail "the saved picture is not the 64x48 one"
wait_until 10 status_is "Image Saved" || fail "no 'Image Saved' in the status line"
before=$(md5sum < "$drive_c/saved.jpg")
save_as
question=$(td dialogtext "Tandrel" 20) || fail "no overwrite question"
[ "$question" = 'Do you wish to overwrite C:\saved.jpg' ] || fail "the overwrite question reads: $question"
td press "Tandrel" "No" >/dev/null || fail "cannot answer No"
wait_until 10 status_is "Not Saved" || fail "no 'Not Saved' after No"
[ "$(md5sum < "$drive_c/saved.jpg")" = "$before" ] || fail "No changed the old file"
[ -z "$(ls "$drive_c" | grep -F 'saved.jpg.')" ] || fail "a scratch file was left beside the picture"

# --- printing a text clip through the shell's print verb
row=$(list_captions "$CLIP_LIST" | grep -n "^Tandrel, your number 1" | cut -d: -f1)
td listclick "$MAIN_TITLE" "$CLIP_LIST" $((row - 1)) >/dev/null || fail "cannot click the welcome clip"
editor_ready() { main_controls | grep -q "RichEdit20W visible Tandrel, your number 1"; }
wait_until 10 editor_ready || fail "the welcome clip is not in the Text tab"
td send "$MAIN_TITLE" 0x111 542 0 >/dev/null || fail "cannot send Print Item Text"
spooled() { ls "$drive_c/spool"/td_*.txt >/dev/null 2>&1; }
wait_until 20 spooled || fail "nothing reached the print command"
file=$(ls "$drive_c/spool"/td_*.txt | head -n1)
case $(basename "$file") in
    td_[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]-[0-9][0-9][0-9][0-9][0-9][0-9].txt) ;;
    *) fail "print file named $(basename "$file")" ;;
esac
# The clip as stored prints, not the editor's text (which may hold unsaved edits).
printed=$(od -An -tx1 "$file" | tr -d ' \n' | tr 'a-f' 'A-F')
[ "$printed" = "$(db "select hex(cText) from cTbl where cText like 'Tandrel, your number 1%'")" ] \
    || fail "the printed bytes are not the stored text: $(head -c 80 "$file")"
wait_until 10 status_is "Printed" || fail "no 'Printed' in the status line"
alive "printing"
end_session

# --- restart with PNG, and a picture in the database that is none
sed -i 's/^UsePNG = .*/UsePNG = Y/' "$data/tandrel.ini"
grep -q '^UsePNG = Y' "$data/tandrel.ini" || fail "cannot switch UsePNG on"
db "insert into cTbl (cDate, cSet, cRTFsw, cHTMLsw, cImageSW, cSource, cNote, cText, cRTF, cHTML, cImage) values
    ('2026-12-01  10:00:00', 'td_clips', 'N', 'N', 'Y', 'Broken', ' ', 'Image 9x9', ' ', ' ', x'89504E470D0A1A0A0000BAD0')"
start_tandrel
wait_main_window
wait_watching

printf 'keep me' | xclip -quiet -selection clipboard 2>/dev/null &
xclip_pid=$!
has_text_clip() { [ "$(db "select count(*) from cTbl where cText = 'keep me'")" = 1 ]; }
wait_until 15 has_text_clip || fail "the X11 text was not captured"
td listclick "$MAIN_TITLE" "$CLIP_LIST" 1 double >/dev/null || fail "cannot double-click the garbage picture"
wait_until 10 status_is "Action Failed" || fail "the garbage picture did not fail when clicked"
sleep 1
[ "$(xclip -selection clipboard -o 2>/dev/null)" = "keep me" ] || fail "the failed picture changed the clipboard"
alive "the garbage picture"
kill "$xclip_pid" 2>/dev/null

copy_picture sketch2 "Second Sketch" 64 48
png_stored() { [ "$(db "select hex(substr(cImage, 1, 4)) from cTbl where cSource = 'Second Sketch'")" = 89504E47 ]; }
wait_until 15 png_stored || fail "the picture was not stored as PNG"
stored_picture "Image 64x48" "$TEST_DIR/stored.png"
[ "$(identify -format '%wx%h' "$TEST_DIR/stored.png")" = 64x48 ] || fail "the stored PNG is not 64x48"
dib_back() { td checkdib 64 48 >"$TEST_DIR/checkdib.out"; }
# A double click made of posted mouse messages is now and then taken for a single click on a busy
# machine; it is given again then, and said so.
put_back() {
    local attempt
    for attempt in 1 2 3; do
        td listclick "$MAIN_TITLE" "$CLIP_LIST" 0 double >/dev/null || fail "cannot double-click the PNG clip"
        wait_until 10 dib_back && return 0
        note "(double click $attempt not seen: $(head -n1 "$TEST_DIR/checkdib.out"))"
    done
    return 1
}
put_back || fail "the clipboard does not hold the picture: $(cat "$TEST_DIR/checkdib.out")"
xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx 'image/bmp' || fail "X11 is not offered image/bmp"
xclip -selection clipboard -t image/bmp -o > "$TEST_DIR/clip.bmp" 2>/dev/null
[ "$(identify -format '%wx%h' "$TEST_DIR/clip.bmp")" = 64x48 ] || fail "X11 reads no 64x48 bitmap"
[ "$(db "select count(*) from cTbl where cImageSW = 'Y' and cText = 'Image 64x48'")" = 2 ] || fail "the put-back picture was captured again"
alive "putting the picture back"
end_session
