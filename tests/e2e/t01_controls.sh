# The main window's controls on their own (controls_check.exe): tab pages, the virtual list, the
# editor, drawn buttons, the minimum size, tooltips and the input box.
wine "$BUILD_DIR/controls_check.exe" >"$TEST_DIR/checks.txt" 2>>"$TEST_DIR/wine.err"
status=$?
tr -d '\r' <"$TEST_DIR/checks.txt" | grep -v '^ok' | sed 's/^/  /'
[ $status -eq 0 ] || fail "control checks failed"
