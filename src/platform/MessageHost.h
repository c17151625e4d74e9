#pragma once
// Message boxes. The program shows real dialogs; the command-line tool writes one line per box
// to standard error; tests script the answers.

#include <deque>
#include <string>
#include <vector>

enum MessageButtons { MB_OK = 0, MB_OKCANCEL = 1, MB_YESNO = 4, MB_YESNOCANCEL = 3 };
enum MessageIcon {
    MB_ICONNONE = 0,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40
};
enum MessageAnswer { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

class MessageHost {
  public:
    virtual ~MessageHost() = default;
    virtual int MessageBox(const std::string& text, const std::string& caption, int buttons = MB_OK,
                           int icon = MB_ICONNONE) = 0;
};

// One line "CAPTION: TEXT" on standard error; answers OK (or Yes).
class StderrMessageHost : public MessageHost {
  public:
    int MessageBox(const std::string& text, const std::string& caption, int buttons, int icon) override;
};

// Keeps every box shown and answers from a script; once the script is used up it answers the
// first button (OK or Yes).
class RecordingMessageHost : public MessageHost {
  public:
    struct Shown {
        std::string text;
        std::string caption;
        int buttons;
        int icon;
    };
    int MessageBox(const std::string& text, const std::string& caption, int buttons, int icon) override;

    std::vector<Shown> shown;
    std::deque<int> answers;
};
