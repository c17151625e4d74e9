#pragma once
// What the model asks of the window host: the document's windows, the run window and the
// dialogs on model data.

#include "platform/Document.h"
#include "platform/WindowHost.h"

#include <memory>
#include <string>

class COrventDoc;
class CSettingList;
struct CBlockEditorData;

class ModelWindowHost : public WindowHost {
  public:
    // The Block Editor on the given data; true on OK (the data then holds the user's entries).
    virtual bool RunBlockEditor(CBlockEditorData& data);
    // The Model Properties dialog on a working copy of the model settings and the title.
    virtual bool RunModelProperties(CSettingList& working, std::string& title);
    // The Debugging Settings dialog: its "CONNECT" box.
    virtual bool RunDebugSettings(int& routeDebug);

    // The run window of a run: opened after the run's initialization, stepped after every
    // output step (repaint, then dispatch only the input waiting for it), closed at the end.
    // A null result means there is no run window and the run proceeds without one.
    virtual CView* OpenRunWindow(COrventDoc& doc);
    virtual void RunWindowStep(COrventDoc& doc);
    virtual void CloseRunWindow(COrventDoc& doc);

    // One more chart, graph or list window on the document (while a chart file is read, and for
    // the Chart, Graph and List commands): the new view, already added to the document and
    // initially updated; null when no window could be opened (the host has then said so).
    virtual CView* OpenChartWindow(COrventDoc& doc);
    virtual CView* OpenGraphWindow(COrventDoc& doc);
    virtual CView* OpenListWindow(COrventDoc& doc);
    // Closes every window showing the document (its open failed, or it is being closed).
    virtual void CloseDocumentWindows(COrventDoc& doc);
    // Closes the one window showing `view` (Undo takes back the opening of a window); the view
    // leaves its document. The base closes nothing.
    virtual void CloseWindow(CView& view);

    // A view of a class a chart file names (kChartViewClass, kGraphViewClass, kListViewClass)
    // in no window: the record of a window that could not be opened is read into it and thrown
    // away. Null for any other name; the base supplies none (views/ViewWindows.h does).
    virtual std::unique_ptr<CView> CreateView(const std::string& className);
};

// The installed window host (Platform().Windows()) as the model sees it; when the installed
// host is a bare WindowHost, one that opens no window and answers every dialog with Cancel.
ModelWindowHost& ModelWindows();
