// Clipboard changes that their writer marks private (password managers, for one): these are
// never captured, shown or logged beyond the fact that one was skipped.
#pragma once

namespace core {
struct Program;
}

namespace capture {

// True when the clipboard carries a private mark: a "Clipboard Viewer Ignore" or
// "ExcludeClipboardContentFromMonitorProcessing" format at all, "CanIncludeInClipboardHistory" or
// "CanUploadToCloudClipboard" holding a 4-byte zero, or the X11 password hint Wine passes on as
// "x-kde-passwordManagerHint" holding "secret". Only the marks are read, never the clip's data; a
// mark whose value cannot be read counts as private.
bool isMarkedPrivate(core::Program& p);

}  // namespace capture
