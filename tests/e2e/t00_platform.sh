# The Win32 platform layer on its own (platform_check.exe), and the
# unhandled-exception filter ending the process through its handler.
out=$(wine "$BUILD_DIR/platform_check.exe" 2>>"$TEST_DIR/wine.err" | tr -d '\r')
status=$?
echo "$out" | grep -v '^ok' | sed 's/^/  /'
[ $status -eq 0 ] || fail "platform checks failed"

out=$(wine "$BUILD_DIR/platform_check.exe" crash 2>>"$TEST_DIR/wine.err" | tr -d '\r')
status=$?
[ $status -eq 42 ] || fail "an access violation ended with $status, not through the handler"
[ "$out" = "code -1073741819" ] || fail "the handler got '$out'"
