// The system call behind the notice on Windows, MessageBoxW, replaceable: a
// test sees the real notice reach it without a window opening (on a desktop
// the real box would wait for a click).
#pragma once

namespace cadence::port {

// Called with no owner window, the text, the caption and the style; returns
// the button pressed.
using MessageBoxCall = int (*)(const wchar_t* text, const wchar_t* caption, unsigned int style);

// Installs `replacement` (nullptr restores MessageBoxW); returns the previous one.
MessageBoxCall setMessageBoxCall(MessageBoxCall replacement);

}  // namespace cadence::port
