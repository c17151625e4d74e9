#pragma once
// What the main frame offers the core: choosers, dialogs and windows. The program implements it
// with Qt; the headless implementation answers every dialog with Cancel and opens no window.

#include "platform/LogFont.h"

#include <string>

class CView;
class CGraphBase;
class CListBase;
class COrventDoc;
class COrventView;
class CSettingList;
struct CBlockEditorData;

class WindowHost {
  public:
    virtual ~WindowHost() = default;

    // The standard colour chooser; true with `chosen` set when the user pressed OK.
    virtual bool ChooseColor(COLORREF initial, COLORREF& chosen);
    // The standard font chooser on `font`; `color` (may be null) is the text colour shown and
    // chosen. True when the user pressed OK.
    virtual bool ChooseFont(LOGFONT& font, COLORREF* color, int flags);

    // The Block Editor on the given data; true on OK (the data then holds the user's entries).
    virtual bool RunBlockEditor(CBlockEditorData& data);
    // The Model Properties dialog on a working copy of the model settings and the title.
    virtual bool RunModelProperties(CSettingList& working, std::string& title);
    // The Debugging Settings dialog: its "CONNECT" box.
    virtual bool RunDebugSettings(int& routeDebug);
    // The "Chart Viewing Properties" dialog on a chart view; true when it ended with OK (what it
    // applied, with OK or "Apply", is then in the view).
    virtual bool RunViewingProperties(COrventView& view);
    // The graph's property sheet and the list's "List Parameters" dialog; true when they ended
    // with OK (what they applied, with OK or "Apply", is then in the view).
    virtual bool RunGraphProperties(CGraphBase& graph);
    virtual bool RunListParameters(CListBase& list);

    // The run window of a run: opened after the run's initialization, stepped after every
    // output step (repaint, then dispatch only the input waiting for it), closed at the end.
    // A null result means there is no run window and the run proceeds without one.
    virtual CView* OpenRunWindow(COrventDoc& doc);
    virtual void RunWindowStep(COrventDoc& doc);
    virtual void CloseRunWindow(COrventDoc& doc);

    // The standard file-open chooser (read-only box hidden); `filter` may be empty for all
    // files. True with `path` set when the user pressed OK.
    virtual bool ChooseOpenFile(const std::string& filter, std::string& path);

    // Help by context id.
    virtual void ShowHelp(int contextId);

    // One more chart, graph or list window on the document (while a chart file is read, and for
    // the Chart, Graph and List commands): the new view, already added to the document and
    // initially updated; null when no window could be opened (the host has then said so).
    // The base opens none.
    virtual CView* OpenChartWindow(COrventDoc& doc);
    virtual CView* OpenGraphWindow(COrventDoc& doc);
    virtual CView* OpenListWindow(COrventDoc& doc);
    // Closes every window showing the document (its open failed, or it is being closed).
    virtual void CloseDocumentWindows(COrventDoc& doc);
};
