// Answering the program's message boxes from a second thread, recording what they showed.
#include "support/message_box_answer.h"

#include <windows.h>

namespace tolvern::test {

std::thread AnswerMessageBox(int button, BoxSeen& seen) {
    return std::thread([button, &seen] {
        for (int i = 0; i < 500; ++i) {
            HWND box = nullptr;
            for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); w;
                 w = ::FindWindowExW(nullptr, w, L"#32770", nullptr)) {
                DWORD pid = 0;
                ::GetWindowThreadProcessId(w, &pid);
                if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(w))
                    box = w;
            }
            if (box) {
                ::Sleep(100); // the box is made topmost once it shows
                wchar_t text[512] = {};
                ::GetWindowTextW(box, text, 512);
                seen.caption = text;
                ::GetDlgItemTextW(box, 0xFFFF, text, 512);
                seen.text = text;
                seen.topmost = (::GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
                ::PostMessageW(box, WM_COMMAND, button, 0);
                return;
            }
            ::Sleep(10);
        }
    });
}

} // namespace tolvern::test
