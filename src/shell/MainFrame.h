#pragma once
// The main window: the MDI client with the document windows, the menus, the status bar, the
// "Main" tool bar and the eight block palettes. It carries out the window's commands, opens
// chart, graph, list and run windows for the documents, and keeps its placement and tool-bar
// arrangement in the settings store.
//
// The class is defined by concern across several files: MainFrame.cpp (creation, the document
// windows, closing, drag and drop), MainFrameMenus.cpp (actions, keys, menus, recent files),
// MainFrameBars.cpp (tool bars, status bar, their stored arrangement, the window's placement),
// MainFrameCommands.cpp (the command table: what each command does and when it is enabled),
// MainFrameRun.cpp (the run window) and MainFrameHelp.cpp (help and context help).

#include "AppServices.h"
#include "FrameLayout.h"
#include "RunWindow.h"
#include "ViewHost.h"

#include "ChildFrame.h"
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class COrventDoc;
class CChildFrame;
class CRunChild;
class CRunInputFilter;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

// One tool bar: title, id (= its show/hide command), section index in the stored arrangement and
// its buttons (0 = separator).
struct PaletteInfo {
    const char* title;
    int id;
    int sectionIndex;
    std::vector<int> buttons;
};

// The nine bars in the order they are docked.
const std::vector<PaletteInfo>& Palettes();
// The bars in the order of the first-run arrangement, with their button counts.
std::vector<BarSpec> DefaultArrangementOrder();

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    explicit CMainFrame(AppServices& app);
    ~CMainFrame() override;

    // Menus, bars, status bar; the first-run arrangement when none is stored, then the stored
    // one.
    bool Create();
    // Shows the window in the stored placement (or the requested state).
    void InitialShow(int requestedShow);

    // ---- Windows ----
    QMdiArea* MdiArea() const { return m_mdi; }
    CChildFrame* ActiveChildFrame() const;
    COrventDoc* ActiveDocument() const;
    CViewHost* ActiveViewHost() const;
    std::vector<CChildFrame*> ChildFrames(const COrventDoc* doc = nullptr) const;
    // A frame with a new view of `kind` on `doc`; the view is initially updated unless
    // `initialUpdate` is false (a new chart's first window, which OnNewDocument updates).
    CChildFrame* CreateViewFrame(COrventDoc& doc, ViewKind kind, bool initialUpdate = true);
    void CloseDocumentWindows(COrventDoc& doc);
    // Where the document's windows are, kept in the settings store for the chart file at `path`;
    // and put back when that file is opened again (when it still has as many windows).
    void SaveWindowPlacements(COrventDoc& doc, const std::string& path);
    void RestoreWindowPlacements(COrventDoc& doc, const std::string& path);
    // Closes the window whose first pane shows `view` (Undo takes its opening back).
    void CloseViewWindow(CView& view);
    // Edit > Undo, or Redo, on the active chart.
    void OnUndo(bool redo);
    // Captions of every window of the document (window numbers when it has several).
    void UpdateFrameTitles(const COrventDoc* doc);
    void UpdateTitle();

    // ---- Commands ----
    QAction* Action(int id) const;
    QToolBar* Bar(int id) const;
    void OnCommand(int id);
    // Whether a command of the window answers `id`; the others are shown disabled.
    bool Answers(int id) const { return m_commands.count(id) != 0; }
    // Enables and checks the actions as the active window and the run state say.
    void UpdateCommandUI();
    bool IsDocumentMenu() const { return m_documentMenu; }
    QLabel* Indicator(int index) const { return m_indicators[index]; }

    // ---- The run ----
    CView* OpenRunWindow(COrventDoc& doc);
    void RunWindowStep(COrventDoc& doc);
    void CloseRunWindow(COrventDoc& doc);
    // The run's visible graph and list windows take the samples recorded so far and paint now;
    // its chart windows show their blocks' values.
    void RefreshOutputWindows(COrventDoc& doc);
    // The run window while a run shows it.
    CRunChild* RunChild() const {
        return m_runChild && m_runChild->isVisible() ? m_runChild.data() : nullptr;
    }
    bool IsRunning() const { return m_runningDoc != nullptr; }
    // Called with the Examples dialog before it runs (lets tests choose in it).
    std::function<void(class CExamplesDialog&)> ExamplesDialogShown;
    // Called with the run window open, once per repaint (lets tests act during a run).
    std::function<void(CRunChild&)> OnRunWindowPainted;

    // ---- Arrangement and placement ----
    void SaveBarState();
    void LoadBarState();
    void SavePlacement();
    // Recent files in the File menu.
    void RebuildRecentFiles();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // What the enable and check rules look at: the active window and the run.
    struct CommandState;
    // One row of the command table: what the command does and, where the window's state decides
    // them, when it is enabled and when checked (no rule: left as it is).
    struct Command {
        void (*run)(CMainFrame& frame, int id) = nullptr;
        bool (*enabled)(const CommandState& state, int id) = nullptr;
        bool (*checked)(const CommandState& state, int id) = nullptr;
    };
    static std::map<int, Command> CommandTable();

    QAction* MakeAction(int id, const QString& text, const QList<QKeySequence>& keys = {});
    void CreateActions();
    void CreateMenus();
    void SetMenus(bool documentMenu);
    // The bars in the stored arrangement (the first-run one when none is stored).
    void CreateBars();
    QToolBar* CreateBar(const PaletteInfo& palette);
    void CreateStatusBar();
    void TrackKeyLights(QObject* watched, QEvent* event);
    void OnSubWindowActivated(QMdiSubWindow* window);
    // The size of the area the document windows live in (estimated before the frame shows).
    QSize ClientAreaSize() const;
    void OnRun(bool initializeOnly);
    void OnOpenWindow(ViewKind kind);
    void OnInsert(int commandId);
    void OnHelp();
    void OnExamples();
    void OnPrintToFile();
    void EnterContextHelp();
    void LeaveContextHelp();
    int ContextHelpAt(QWidget* widget) const;
    // While context help waits, a click shows the page of what it hits; Escape gives up.
    bool FilterContextHelp(QObject* watched, QEvent* event);
    void UpdateIndicators();

    AppServices& m_app;
    QMdiArea* m_mdi = nullptr;
    std::map<int, Command> m_commands;
    std::map<int, QAction*> m_actions;
    std::map<int, QToolBar*> m_bars;
    std::vector<QMenu*> m_fileMenus; // the File menu of menus 128 and 129
    std::vector<QMenu*> m_noDocMenus;
    std::vector<QMenu*> m_docMenus;
    std::vector<QAction*> m_recentActions;
    bool m_documentMenu = false;
    QPointer<CChildFrame> m_lastChild;
    QLabel* m_ready = nullptr;
    QLabel* m_indicators[3] = {nullptr, nullptr, nullptr};
    bool m_keyStates[3] = {false, false, false};
    bool m_contextHelp = false;

    COrventDoc* m_runningDoc = nullptr;
    QPointer<CRunChild> m_runChild;
    QPointer<CChildFrame> m_runReturn;
    std::unique_ptr<CRunInputFilter> m_runFilter;
    QElapsedTimer m_runPaintClock;
};
