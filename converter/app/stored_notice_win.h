// The notice after a PDF was stored without the save dialog: a notification-area balloon
// 「PDF を保存しました」 with the file's name; a click on it opens the folder with the file
// selected. The icon goes again when the balloon has gone, at the latest after
// kNoticeMs, so that the converter never stays for long.
#pragma once

#include "base/bytes.h"

#include <windows.h>

#include <functional>

namespace app {

constexpr DWORD kNoticeMs = 8000;

// Shows the notice and waits for its end, dispatching window messages with processMessages
// (the wait takes no processor time). Returns at once when the notification area refuses
// the icon.
void ShowStoredNotice(const ByteString& pdfPath, HICON icon,
                      const std::function<void()>& processMessages);

} // namespace app
