// Answering the program's message boxes from a second thread, recording what they showed.
#pragma once

#include <string>
#include <thread>

namespace tolvern::test {

struct BoxSeen {
    std::wstring caption, text;
    bool topmost = false;
};

// Answers the next message box of this process with the button, and says what it showed.
std::thread AnswerMessageBox(int button, BoxSeen& seen);

} // namespace tolvern::test
