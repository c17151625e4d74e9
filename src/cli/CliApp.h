#pragma once
// kintra-cli: the commands new, run and info on chart files, without a display.

#include "platform/MessageHost.h"

#include <ostream>
#include <string>
#include <vector>

namespace kintra::cli {

// Exit statuses.
constexpr int kExitOk = 0;        // done; for run: the time loop ran and ended normally
constexpr int kExitRunFailed = 1; // the run was refused or ended by a run-time error
constexpr int kExitError = 2;     // bad arguments, a file that cannot be read or written

// Every message box as one line "CAPTION: TEXT" (line breaks inside become spaces); boxes with
// OK and Cancel are answered OK, Yes/No boxes Yes.
class LineMessageHost : public MessageHost {
  public:
    explicit LineMessageHost(std::ostream& out) : m_out(out) {}
    int MessageBox(const std::string& text, const std::string& caption, int buttons, int icon) override;

  private:
    std::ostream& m_out;
};

// `text` with every control character escaped ("\x1b"; a backslash doubled), also C1 controls and
// bytes that are not UTF-8, so that nothing read from a chart can steer the terminal.
std::string Printable(const std::string& text);

// Runs one command line (the arguments after the program name). Results go to `out`, argument
// errors to `err`, message boxes to `messages`. Returns the exit status.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, MessageHost& messages);

// The --help text.
std::string UsageText();

} // namespace kintra::cli
