#pragma once
// The application: the settings store, the message boxes and the window host of the program,
// the open documents, the recent-file list, start-up and the clipboard block.

#include "AppServices.h"
#include "views/ViewWindows.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class CBlock;
class CMainFrame;
class COrventDoc;
class QtMessageHost;
class QtSettingsStore;
class SettingsStore;

// The program's window host: dialogs and windows through the main frame.
class QtWindowHost : public ViewWindowHost {
  public:
    explicit QtWindowHost(class COrventApp& app) : m_app(app) {}

    bool ChooseColor(COLORREF initial, COLORREF& chosen) override;
    bool ChooseFont(LOGFONT& font, COLORREF* color, int flags) override;
    CView* OpenRunWindow(COrventDoc& doc) override;
    void RunWindowStep(COrventDoc& doc) override;
    void CloseRunWindow(COrventDoc& doc) override;
    void ShowHelp(int contextId) override;
    bool RunBlockEditor(CBlockEditorData& data) override;
    bool RunModelProperties(CSettingList& working, std::string& title) override;
    bool RunDebugSettings(int& routeDebug) override;
    bool RunViewingProperties(COrventView& view) override;
    bool RunGraphProperties(CGraphBase& graph) override;
    bool RunListParameters(CListBase& list) override;
    bool ChooseOpenFile(const std::string& filter, std::string& path) override;
    CView* OpenChartWindow(COrventDoc& doc) override;
    CView* OpenGraphWindow(COrventDoc& doc) override;
    CView* OpenListWindow(COrventDoc& doc) override;
    void CloseDocumentWindows(COrventDoc& doc) override;
    void CloseWindow(CView& view) override;

  private:
    COrventApp& m_app;
};

class COrventApp : public QObject, public AppServices {
    Q_OBJECT
  public:
    // `settingsPath` empty: Kintra/Kintra.ini in the user's configuration folder.
    explicit COrventApp(const QString& settingsPath = QString());
    ~COrventApp() override;

    static COrventApp* Instance();
    // Name, organisation, version, icon and desktop entry of the program for Qt. No display name
    // is set: the platform would add it to every window title.
    static void SetApplicationIdentity();

    // Start-up: recent files, main frame, the document on the command line or a new chart,
    // dropped files, then the window shown in its stored placement. False when the main frame
    // cannot be made.
    bool InitInstance(const QStringList& paths, int requestedShow = 1);
    // Saves the recent-file list; called when the program ends.
    void ExitInstance();

    CMainFrame* MainFrame() const { return m_frame.get(); }
    QtSettingsStore& Settings() const { return *m_settings; }
    WindowHost& Windows() { return m_windows; }

    // ---- Documents ----
    const std::vector<std::unique_ptr<COrventDoc>>& Documents() const { return m_documents; }
    // File New: a chart titled "Chart" + number with its chart window.
    COrventDoc* NewDocument() override;
    // File Open (and the command line, dropped files, recent files): the chart in `path`, or the
    // one already open from it. Null when it could not be read; nothing is left of it then.
    COrventDoc* OpenDocument(const QString& path) override;
    // The file chooser, then OpenDocument.
    void PromptOpen() override;
    COrventDoc* OpenUntitledCopy(const QString& path) override;
    // Save (or Save As when the chart has no file yet, or `saveAs`). False when not saved.
    bool SaveDocument(COrventDoc& doc, bool saveAs) override;
    // The question before a modified chart is closed; false when the user cancelled.
    bool SaveModified(COrventDoc& doc) override;
    // File Close: asks, then closes every window of the document.
    bool CloseDocument(COrventDoc& doc) override;
    // Closes every document after asking about each modified one; false when cancelled.
    bool CloseAllDocuments() override;
    // Called when a window of `doc` went: the document goes with its last window.
    void DocumentWindowClosed(COrventDoc* doc) override;

    // ---- Recent files ----
    QStringList RecentFiles() const override { return m_recent; }
    void AddToRecentFiles(const QString& path);
    void RemoveFromRecentFiles(const QString& path);

    // Pages side by side in print preview ("Settings" / "PreviewPages").
    int PreviewPages = 0;
    int& PreviewPageCount() override { return PreviewPages; }

    // The clipboard block shared by all charts.
    std::unique_ptr<CBlock> Clipboard;

  private:
    void LoadRecentFiles();
    void SaveRecentFiles();
    void DestroyDocument(COrventDoc* doc);
    COrventDoc* FindDocumentByPath(const QString& path) const;

    std::unique_ptr<QtSettingsStore> m_settings;
    std::unique_ptr<QtMessageHost> m_messages;
    QtWindowHost m_windows;
    std::unique_ptr<CMainFrame> m_frame;
    std::vector<std::unique_ptr<COrventDoc>> m_documents;
    QStringList m_recent;
    int m_nextChartNumber = 1;
};
