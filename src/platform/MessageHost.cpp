#include "platform/MessageHost.h"

#include <cstdio>

static int FirstButton(int buttons) {
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
}

int StderrMessageHost::MessageBox(const std::string& text, const std::string& caption, int buttons, int) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    return FirstButton(buttons);
}

int RecordingMessageHost::MessageBox(const std::string& text, const std::string& caption, int buttons,
                                     int icon) {
    shown.push_back({text, caption, buttons, icon});
    if (!answers.empty()) {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    return FirstButton(buttons);
}
