#pragma once
// What the main frame offers the core: choosers and help here; each layer above declares the
// windows and dialogs it asks for in a host of its own (model/ModelWindows.h,
// chart/ChartWindows.h, views/ViewWindows.h), each deriving from the one below. The program's
// host and the headless one implement them all; a bare WindowHost, like every base, answers
// every dialog with Cancel and opens no window.

#include "platform/LogFont.h"

#include <string>

class WindowHost {
  public:
    virtual ~WindowHost() = default;

    // The standard colour chooser; true with `chosen` set when the user pressed OK.
    virtual bool ChooseColor(COLORREF initial, COLORREF& chosen);
    // The standard font chooser on `font`; `color` (may be null) is the text colour shown and
    // chosen. True when the user pressed OK.
    virtual bool ChooseFont(LOGFONT& font, COLORREF* color, int flags);

    // The standard file-open chooser (read-only box hidden); `filter` may be empty for all
    // files. True with `path` set when the user pressed OK.
    virtual bool ChooseOpenFile(const std::string& filter, std::string& path);

    // Help by context id.
    virtual void ShowHelp(int contextId);
};
