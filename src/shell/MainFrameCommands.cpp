// The main window's commands: one table says, for every command id, what the command does and
// when the active window and the run leave it enabled and checked.

#include "MainFrame.h"

#include "AboutDlg.h"
#include "ChildFrame.h"
#include "CommandIds.h"
#include "ExamplesDialog.h"
#include "HelpWindow.h"
#include "NativePath.h"
#include "Printing.h"
#include "SweepDialog.h"
#include "blocks/Catalogue.h"
#include "chart/OrventView.h"
#include "model/OrventDoc.h"
#include "platform/Platform.h"
#include "views/GraphView.h"
#include "views/ListView.h"
#include "views/ViewWindows.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>

struct CMainFrame::CommandState {
    const CMainFrame& frame;
    COrventDoc* doc;          // the active window's chart
    CViewHost* host;          // the active pane
    CChildFrame* child;       // the active document window
    const COrventView* chart; // the active pane's chart view; none while a run goes
    COrventDoc* runningDoc;   // the chart that runs
    bool running;
};

namespace {
// The chart view of a pane, or null for another kind of window.
COrventView* ChartOf(CViewHost* host) {
    return host && host->Kind() == ViewKind::Chart ? static_cast<COrventView*>(host->View()) : nullptr;
}

// Cut, Copy, Paste and Delete act on the pane's selected block.
void EditChart(CViewHost* host, int id) {
    COrventView* chart = ChartOf(host);
    if (!chart) return;
    switch (id) {
    case ID_EDIT_CUT:
        chart->OnEditCut();
        break;
    case ID_EDIT_COPY:
        chart->OnEditCopy();
        break;
    case ID_EDIT_PASTE:
        chart->OnEditPaste();
        break;
    case ID_DELETE_BLOCK:
        chart->OnEditDelete();
        break;
    default:
        break;
    }
    host->UpdateCursor();
}

// Edit > Copy: a chart's selected block as ever; else what the window holds for other
// programs: a list's table as tab-separated text, a graph's or chart's picture as PNG and SVG.
void CopyWindow(CViewHost* host) {
    if (!host || !host->View()) return;
    if (COrventView* chart = ChartOf(host); chart && chart->CanCutCopyDelete()) {
        EditChart(host, ID_EDIT_COPY);
        return;
    }
    auto data = std::make_unique<QMimeData>();
    if (const auto* list = dynamic_cast<const CListBase*>(host->View())) {
        data->setText(QString::fromStdString(list->DataText('\t', "\n")));
    } else {
        const QImage image = host->Render();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        data->setImageData(image);
        data->setData(QStringLiteral("image/png"), png);
        data->setData(QStringLiteral("image/svg+xml"), host->RenderSvg());
    }
    QGuiApplication::clipboard()->setMimeData(data.release());
}

// The active window's viewing properties: chart, graph or list.
void EditViewing(CMainFrame& frame) {
    CViewHost* host = frame.ActiveViewHost();
    if (!host) return;
    static const char* const kNames[] = {"Chart Properties", "Graph Properties", "List Parameters"};
    CChartChange change(host->Document(), kNames[static_cast<int>(host->Kind())]);
    switch (host->Kind()) {
    case ViewKind::Chart:
        ChartWindows().RunViewingProperties(*static_cast<COrventView*>(host->View()));
        break;
    case ViewKind::Graph:
        ViewWindows().RunGraphProperties(*static_cast<CGraphBase*>(host->View()));
        break;
    case ViewKind::List:
        ViewWindows().RunListParameters(*static_cast<CListBase*>(host->View()));
        break;
    }
    frame.UpdateFrameTitles(host->Document());
}

// Minimised windows in a row along the bottom of the client area.
void ArrangeIcons(QMdiArea& mdi) {
    int x = 0;
    for (QMdiSubWindow* w : mdi.subWindowList())
        if (w->isMinimized()) {
            w->move(x, mdi.viewport()->height() - w->height());
            x += w->width();
        }
}
} // namespace

std::map<int, CMainFrame::Command> CMainFrame::CommandTable() {
    using State = const CommandState&;
    // Enable rules shared by several commands.
    const auto idleChart = [](State s, int) -> bool { return s.doc && !s.running; };
    const auto idleWindow = [](State s, int) -> bool { return s.host && !s.running; };
    const auto running = [](State s, int) { return s.running; };
    const auto cutCopyDelete = [](State s, int) { return s.chart && s.chart->CanCutCopyDelete(); };
    // A bar's show command is checked while the bar shows.
    const auto barShown = [](State s, int id) -> bool {
        QToolBar* bar = s.frame.Bar(id);
        return bar && !bar->isHidden();
    };
    const auto toggleBar = [](CMainFrame& f, int id) {
        if (QToolBar* bar = f.Bar(id)) bar->setVisible(bar->isHidden());
    };
    const auto edit = [](CMainFrame& f, int id) {
        if (!f.IsRunning()) EditChart(f.ActiveViewHost(), id);
    };
    const auto save = [](CMainFrame& f, int id) {
        if (COrventDoc* doc = f.ActiveDocument()) f.m_app.SaveDocument(*doc, id == ID_FILE_SAVE_AS);
    };

    std::map<int, Command> table = {
        // File
        {ID_FILE_NEW, {[](CMainFrame& f, int) { f.m_app.NewDocument(); }}},
        {ID_FILE_OPEN, {[](CMainFrame& f, int) { f.m_app.PromptOpen(); }}},
        {ID_FILE_CLOSE,
         {[](CMainFrame& f, int) {
              if (COrventDoc* doc = f.ActiveDocument()) f.m_app.CloseDocument(*doc);
          },
          idleChart}},
        {ID_FILE_SAVE, {save, idleChart}},
        {ID_FILE_SAVE_AS, {save, idleChart}},
        {ID_PRINT_TO_FILE,
         {[](CMainFrame& f, int) { f.OnPrintToFile(); },
          [](State s, int) { return s.host && s.host->Kind() == ViewKind::List; }}},
        {ID_FILE_PRINT,
         {[](CMainFrame& f, int) {
              if (CViewHost* host = f.ActiveViewHost(); host && !f.IsRunning()) kintra::FilePrint(*host, &f);
          },
          idleWindow}},
        {ID_FILE_EXPORT,
         {[](CMainFrame& f, int) {
              if (CViewHost* host = f.ActiveViewHost(); host && !f.IsRunning()) kintra::FileExport(*host, &f);
          },
          idleWindow}},
        {ID_FILE_PRINT_PREVIEW,
         {[](CMainFrame& f, int) {
              if (CViewHost* host = f.ActiveViewHost(); host && !f.IsRunning())
                  kintra::FilePrintPreview(*host, &f, f.m_app.PreviewPageCount());
          },
          idleWindow}},
        {ID_FILE_PRINT_SETUP,
         {[](CMainFrame& f, int) { kintra::FilePrintSetup(&f); }, [](State s, int) { return !s.running; }}},
        {ID_APP_EXIT, {[](CMainFrame& f, int) { f.close(); }}},

        // Edit: the commands follow the active chart pane's selection; Copy takes a whole output
        // window, or a chart window without a selection, as data or a picture.
        {ID_EDIT_CUT, {edit, cutCopyDelete}},
        {ID_EDIT_COPY,
         {[](CMainFrame& f, int) {
              if (!f.IsRunning()) CopyWindow(f.ActiveViewHost());
          },
          idleWindow}},
        {ID_DELETE_BLOCK, {edit, cutCopyDelete}},
        {ID_EDIT_PASTE, {edit, [](State s, int) { return s.chart && s.chart->CanPaste(); }}},

        {ID_EDIT_UNDO,
         {[](CMainFrame& f, int id) { f.OnUndo(id == ID_EDIT_REDO); },
          [](State s, int) { return s.doc && !s.running && s.doc->History.CanUndo(); }}},
        {ID_EDIT_REDO,
         {[](CMainFrame& f, int id) { f.OnUndo(id == ID_EDIT_REDO); },
          [](State s, int) { return s.doc && !s.running && s.doc->History.CanRedo(); }}},

        // View
        {ID_VIEW_STATUS_BAR,
         {[](CMainFrame& f, int) { f.statusBar()->setVisible(f.statusBar()->isHidden()); }, nullptr,
          [](State s, int) { return !s.frame.statusBar()->isHidden(); }}},

        // Options
        {ID_VIEW_PARAMETERS, {[](CMainFrame& f, int) { EditViewing(f); }, idleWindow}},
        {ID_RUN,
         {[](CMainFrame& f, int) { f.OnRun(false); }, idleChart,
          [](State s, int) -> bool {
              return s.running && s.runningDoc && s.runningDoc->InitializeOnly == 0;
          }}},
        {ID_INITIALIZE,
         {[](CMainFrame& f, int) { f.OnRun(true); }, idleChart,
          [](State s, int) -> bool {
              return s.running && s.runningDoc && s.runningDoc->InitializeOnly != 0;
          }}},
        {ID_OPEN_CHART, {[](CMainFrame& f, int) { f.OnOpenWindow(ViewKind::Chart); }}},
        {ID_OPEN_GRAPH, {[](CMainFrame& f, int) { f.OnOpenWindow(ViewKind::Graph); }}},
        {ID_OPEN_LIST, {[](CMainFrame& f, int) { f.OnOpenWindow(ViewKind::List); }}},
        {ID_PREFERENCES,
         {[](CMainFrame& f, int) {
              if (COrventDoc* doc = f.ActiveDocument()) {
                  doc->OnPreferences();
                  f.UpdateFrameTitles(doc);
              }
          },
          idleChart}},
        {ID_DEBUG_SETTINGS,
         {[](CMainFrame& f, int) {
              if (COrventDoc* doc = f.ActiveDocument()) doc->OnDebugSettings();
          },
          idleChart}},

        // Window
        {ID_WINDOW_CASCADE, {[](CMainFrame& f, int) { f.m_mdi->cascadeSubWindows(); }}},
        {ID_WINDOW_TILE_HORZ, {[](CMainFrame& f, int) { f.m_mdi->tileSubWindows(); }}},
        {ID_WINDOW_ARRANGE, {[](CMainFrame& f, int) { ArrangeIcons(*f.m_mdi); }}},
        {ID_WINDOW_SPLIT,
         {[](CMainFrame& f, int) {
              if (CChildFrame* c = f.ActiveChildFrame(); c && c->Splitter()) c->Splitter()->ToggleSplit();
          },
          [](State s, int) -> bool { return s.child && s.child->Splitter(); }}},

        // Help
        {ID_HELP_INDEX, {[](CMainFrame&, int) { CHelpWindow::Instance().ShowPageIndex(); }}},
        {ID_HELP, {[](CMainFrame& f, int) { f.OnHelp(); }}},
        {ID_HELP_USING, {[](CMainFrame&, int) { CHelpWindow::Instance().ShowUsingHelp(); }}},
        {ID_SWEEP,
         {[](CMainFrame& f, int) {
              if (COrventDoc* doc = f.ActiveDocument()) CSweepDialog::Run(*doc, &f);
          },
          idleChart}},
        {ID_HELP_EXAMPLES,
         {[](CMainFrame& f, int) { f.OnExamples(); }, [](State s, int) { return !s.running; }}},
        {ID_CONTEXT_HELP, {[](CMainFrame& f, int) { f.EnterContextHelp(); }}},
        {ID_APP_ABOUT, {[](CMainFrame& f, int) {
             CAboutDlg about(&f);
             about.exec();
         }}},
    };

    // Terminate Run (also Escape) and Stop Run stop the running chart, or else the active one.
    const Command stop = {[](CMainFrame& f, int) {
                              if (f.m_runningDoc)
                                  f.m_runningDoc->OnTerminateRun();
                              else if (COrventDoc* doc = f.ActiveDocument())
                                  doc->OnTerminateRun();
                          },
                          running, running};
    table[ID_TERMINATE_RUN] = stop;
    table[ID_STOP_RUN] = stop;

    // F6 and Shift+F6 move between a split window's panes.
    for (int id : {ID_NEXT_PANE, ID_PREV_PANE})
        table[id] = {[](CMainFrame& f, int id) {
            if (CChildFrame* c = f.ActiveChildFrame(); c && c->Splitter())
                c->Splitter()->NextPane(id == ID_NEXT_PANE);
        }};

    // The tool bar and the palettes show and hide.
    for (const PaletteInfo& palette : Palettes())
        table[palette.id] = {toggleBar, nullptr, barShown};

    // The recent files.
    for (int i = 0; i < AppServices::kRecentCount; ++i)
        table[ID_FILE_MRU_FILE1 + i] = {[](CMainFrame& f, int id) {
            const QStringList recent = f.m_app.RecentFiles();
            const int index = id - ID_FILE_MRU_FILE1;
            if (index < recent.size()) f.m_app.OpenDocument(recent[index]);
        }};

    // The palettes' insert commands: enabled in an idle chart window, checked while their block
    // waits to be placed.
    std::size_t count = 0;
    const CBlockTypeInfo* types = BlockTypes(count);
    for (std::size_t i = 0; i < count; ++i)
        table[types[i].CommandId] = {
            [](CMainFrame& f, int id) { f.OnInsert(id); },
            [](State s, int) -> bool { return s.host && s.host->Kind() == ViewKind::Chart && !s.running; },
            [](State s, int id) -> bool { return s.chart && s.chart->IsInsertChecked(id); }};
    return table;
}

void CMainFrame::OnExamples() {
    CExamplesDialog dialog(ExampleCharts(ExamplesFolder()), this);
    if (ExamplesDialogShown) ExamplesDialogShown(dialog);
    if (dialog.exec() != QDialog::Accepted) return;
    const QString path = dialog.ChosenPath();
    if (!path.isEmpty()) m_app.OpenUntitledCopy(path);
}

void CMainFrame::OnCommand(int id) {
    if (m_contextHelp) {
        LeaveContextHelp();
        if (id != ID_CONTEXT_HELP) Platform().Windows().ShowHelp(0x10000 + id);
        return;
    }
    if (auto it = m_commands.find(id); it != m_commands.end()) it->second.run(*this, id);
    UpdateCommandUI();
}

void CMainFrame::UpdateCommandUI() {
    CViewHost* host = ActiveViewHost();
    const bool running = IsRunning();
    const CommandState state{.frame = *this,
                             .doc = ActiveDocument(),
                             .host = host,
                             .child = ActiveChildFrame(),
                             .chart = running ? nullptr : ChartOf(host),
                             .runningDoc = m_runningDoc,
                             .running = running};
    for (const auto& [id, command] : m_commands) {
        QAction* a = Action(id);
        if (!a) continue;
        if (command.enabled) a->setEnabled(command.enabled(state, id));
        if (command.checked) a->setChecked(command.checked(state, id));
    }
    // Undo and Redo name what they would take back or make again.
    const COrventDoc* doc = running ? nullptr : state.doc;
    for (int id : {ID_EDIT_UNDO, ID_EDIT_REDO}) {
        QString text = id == ID_EDIT_UNDO ? QStringLiteral("&Undo") : QStringLiteral("&Redo");
        const std::string label = !doc                 ? std::string()
                                  : id == ID_EDIT_UNDO ? doc->History.UndoLabel()
                                                       : doc->History.RedoLabel();
        if (!label.empty()) text += QLatin1Char(' ') + QString::fromStdString(label);
        if (QAction* a = Action(id)) a->setText(text);
    }
    // Commands nothing answers: shown, not answered.
    for (const auto& [id, action] : m_actions)
        if (!Answers(id)) action->setEnabled(false);
}

void CMainFrame::OnUndo(bool redo) {
    COrventDoc* doc = ActiveDocument();
    if (!doc || IsRunning()) return;
    if (!(redo ? doc->Redo() : doc->Undo())) return;
    // Windows may have opened or closed; the captions and cursors follow the restored chart.
    UpdateFrameTitles(doc);
    for (CChildFrame* f : ChildFrames(doc))
        for (CViewHost* h : f->Panes())
            h->UpdateCursor();
}

void CMainFrame::CloseViewWindow(CView& view) {
    for (CChildFrame* f : ChildFrames())
        if (f->FirstView() == &view) {
            COrventDoc* doc = f->Document();
            m_mdi->removeSubWindow(f);
            delete f;
            // The chart stays the active one, so Undo and Redo go on working on it.
            const std::vector<CChildFrame*> rest = ChildFrames(doc);
            if (!ActiveChildFrame() && !rest.empty()) {
                m_mdi->setActiveSubWindow(rest.front());
                m_lastChild = rest.front();
            }
            return;
        }
}

void CMainFrame::OnInsert(int commandId) {
    COrventDoc* doc = ActiveDocument();
    CViewHost* host = ActiveViewHost();
    const CBlockTypeInfo* type = FindBlockTypeByCommand(commandId);
    if (!doc || !type || !host || host->Kind() != ViewKind::Chart) return;
    // The block waits for a click on a grid point.
    if (COrventView* chart = ChartOf(host)) chart->OnInsert(commandId);
    host->UpdateCursor();
}

void CMainFrame::OnOpenWindow(ViewKind kind) {
    COrventDoc* doc = ActiveDocument();
    if (!doc) {
        Platform().Messages().MessageBox("Command failed.", kAppTitle, MB_OK, MB_ICONWARNING);
        return;
    }
    // The open windows are part of the chart file.
    doc->SetModifiedFlag();
    static const char* const kNames[] = {"Open Chart", "Open Graph", "Open List"};
    CChartChange change(doc, kNames[static_cast<int>(kind)]);
    CView* view = nullptr;
    switch (kind) {
    case ViewKind::Chart:
        view = ModelWindows().OpenChartWindow(*doc);
        break;
    case ViewKind::Graph:
        view = ModelWindows().OpenGraphWindow(*doc);
        break;
    case ViewKind::List:
        view = ModelWindows().OpenListWindow(*doc);
        break;
    }
    (void)view; // the host has already said so when it failed
}

void CMainFrame::OnPrintToFile() {
    CViewHost* host = ActiveViewHost();
    auto* list = host ? dynamic_cast<CListBase*>(host->View()) : nullptr;
    if (!list) return;
    using Kind = CListBase::FileKind;
    const QString printer = QStringLiteral("Printer Files (*.prn)");
    const QString csv = QStringLiteral("CSV Files (*.csv)");
    QFileDialog dialog(this, QStringLiteral("Print to File"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({printer, csv, QStringLiteral("All Files (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("prn"));
    dialog.selectFile(QString::fromStdString(list->DefaultPrintFileName()));
    // The proposed name and the suffix follow the file type.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        if (filter != printer && filter != csv) return;
        const Kind kind = filter == csv ? Kind::Csv : Kind::Text;
        dialog.setDefaultSuffix(kind == Kind::Csv ? QStringLiteral("csv") : QStringLiteral("prn"));
        QString name = QFileInfo(dialog.selectedFiles().value(0)).fileName();
        if (name.endsWith(QStringLiteral(".prn"), Qt::CaseInsensitive) ||
            name.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
            name.chop(4);
            dialog.selectFile(name + (kind == Kind::Csv ? QStringLiteral(".csv") : QStringLiteral(".prn")));
        }
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    // CSV when that type is chosen or the name ends in ".csv"; the list's text otherwise.
    const QString path = dialog.selectedFiles().front();
    const bool isCsv =
        dialog.selectedNameFilter() == csv || path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    // A file that cannot be written gets nothing, and a message says why.
    list->ExportToFile(PathToNative(path), isCsv ? Kind::Csv : Kind::Text);
}
