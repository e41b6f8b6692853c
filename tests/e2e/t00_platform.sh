# The Win32 platform layer on its own (platform_check.exe), and the
# unhandled-exception filter ending the process through its handler.
wine "$BUILD_DIR/platform_check.exe" >"$TEST_DIR/checks.txt" 2>>"$TEST_DIR/wine.err"
status=$?
tr -d '\r' <"$TEST_DIR/checks.txt" | grep -v '^ok' | sed 's/^/  /'
[ $status -eq 0 ] || fail "platform checks failed"

wine "$BUILD_DIR/platform_check.exe" crash >"$TEST_DIR/crash.txt" 2>>"$TEST_DIR/wine.err"
status=$?
out=$(tr -d '\r' <"$TEST_DIR/crash.txt")
[ $status -eq 42 ] || fail "an access violation ended with $status, not through the handler"
[ "$out" = "code -1073741819" ] || fail "the handler got '$out'"
