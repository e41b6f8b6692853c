# The installer runs silently, puts Tandrel.exe under Program Files with a Start menu entry; the
# installed program starts and captures; the uninstaller removes the program files and keeps the
# user's clips. The portable zip holds Tandrel.exe and its read-me.
setup=$(ls "$BUILD_DIR"/dist/Tandrel-Setup-*.exe 2>/dev/null | head -n 1)
zipfile=$(ls "$BUILD_DIR"/dist/Tandrel-*-portable.zip 2>/dev/null | head -n 1)
[ -n "$setup" ] || fail "no installer in $BUILD_DIR/dist"
[ -n "$zipfile" ] || fail "no portable zip in $BUILD_DIR/dist"
contents=$(unzip -Z1 "$zipfile" | sort | tr '\n' ' ')
[[ $contents == *"/README.txt "*"/Tandrel.exe "* ]] || fail "the zip holds: $contents"
if [ "$TANDREL_WIN_ARCH" != i686 ]; then
    note "the installer is a 32-bit program, and this machine runs none: it was built, not run"
    exit 77
fi

wine "$setup" /S >/dev/null 2>&1 || fail "the installer failed"
wineserver -w
installed=$(find "$WINEPREFIX/drive_c" -path '*/Korvane/Tandrel/Tandrel.exe' -not -path '*/users/*' | head -n 1)
[ -n "$installed" ] || fail "Tandrel.exe was not installed under Program Files"
folder=$(dirname "$installed")
[ -f "$folder/Uninstall.exe" ] || fail "no uninstaller beside Tandrel.exe"
cmp -s "$installed" "$BUILD_DIR/Tandrel.exe" || fail "the installed Tandrel.exe is not the built one"
find "$WINEPREFIX/drive_c" -ipath '*Start Menu/Programs/Tandrel/Tandrel.lnk' | grep -q . \
    || fail "no Start menu entry"

wine "$installed" >>"$TEST_DIR/tandrel.out" 2>&1 &
TANDREL_PID=$!
answer_first_run Yes
wait_main_window
wait_watching
td settext "copied while installed" --title "Writer" >/dev/null || fail "cannot copy"
stored() { [ "$(db "select count(*) from cTbl where cText='copied while installed'")" = 1 ]; }
wait_until 15 stored || fail "the installed Tandrel did not capture"
end_session

wine "$folder/Uninstall.exe" /S >/dev/null 2>&1
wineserver -w
gone() { [ ! -e "$installed" ] && [ ! -e "$folder/Uninstall.exe" ]; }
wait_until 30 gone || fail "the uninstaller left the program files: $(ls "$folder" 2>/dev/null)"
find "$WINEPREFIX/drive_c" -ipath '*Start Menu/Programs/Tandrel*' | grep -q . && fail "the Start menu entry stayed"
stored || fail "the uninstaller did not keep the user's clips"
