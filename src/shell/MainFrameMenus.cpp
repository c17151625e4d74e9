// The main window's actions with their texts, keys, tips and pictures, the two sets of menus
// (without a chart and with one) and the recent files in the File menu.

#include "MainFrame.h"

#include "ChildFrame.h"
#include "CommandIds.h"
#include "NativePath.h"
#include "blocks/Catalogue.h"
#include "platform/StringTable.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

namespace {
QString Prompt(int id) {
    return QString::fromStdString(kintra::CommandPrompt(id));
}
QString Tip(int id) {
    return QString::fromStdString(kintra::CommandTip(id));
}
} // namespace

QAction* CMainFrame::MakeAction(int id, const QString& text, const QList<QKeySequence>& keys) {
    auto* a = new QAction(text, this);
    a->setData(id);
    a->setObjectName(QStringLiteral("action%1").arg(id));
    const QString prompt = Prompt(id);
    if (!prompt.isEmpty()) a->setStatusTip(prompt);
    const QString tip = Tip(id);
    if (!tip.isEmpty()) a->setToolTip(tip);
    const QString icon = QStringLiteral(":/pictures/buttons/%1.svg").arg(id);
    if (QFile::exists(icon)) a->setIcon(QIcon(icon));
    if (!keys.isEmpty()) a->setShortcuts(keys);
    connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
    // Keys act in every window, also while the bar or menu holding the command is hidden.
    addAction(a);
    m_actions[id] = a;
    return a;
}

void CMainFrame::CreateActions() {
    using QKS = QKeySequence;
    const auto ctrlShiftAlt = Qt::CTRL | Qt::SHIFT | Qt::ALT;
    MakeAction(ID_FILE_NEW, QStringLiteral("&New"), {QKS(Qt::CTRL | Qt::Key_N)});
    MakeAction(ID_FILE_OPEN, QStringLiteral("&Open..."), {QKS(Qt::CTRL | Qt::Key_O)});
    MakeAction(ID_FILE_CLOSE, QStringLiteral("&Close"));
    MakeAction(ID_FILE_SAVE, QStringLiteral("&Save"), {QKS(Qt::CTRL | Qt::Key_S)});
    MakeAction(ID_FILE_SAVE_AS, QStringLiteral("Save &As..."));
    MakeAction(ID_FILE_PRINT, QStringLiteral("&Print..."), {QKS(Qt::CTRL | Qt::Key_P)});
    MakeAction(ID_PRINT_TO_FILE, QStringLiteral("Print to File..."));
    MakeAction(ID_FILE_EXPORT, QStringLiteral("&Export..."));
    MakeAction(ID_FILE_PRINT_PREVIEW, QStringLiteral("Print Pre&view"));
    MakeAction(ID_FILE_PRINT_SETUP, QStringLiteral("P&rint Setup..."));
    MakeAction(ID_APP_EXIT, QStringLiteral("E&xit"));
    for (int i = 0; i < AppServices::kRecentCount; ++i) {
        QAction* a = MakeAction(ID_FILE_MRU_FILE1 + i, QString());
        m_recentActions.push_back(a);
    }

    MakeAction(ID_EDIT_CUT, QStringLiteral("Cu&t"),
               {QKS(Qt::CTRL | Qt::Key_X), QKS(Qt::SHIFT | Qt::Key_Delete)});
    MakeAction(ID_EDIT_COPY, QStringLiteral("&Copy"),
               {QKS(Qt::CTRL | Qt::Key_C), QKS(Qt::CTRL | Qt::Key_Insert)});
    MakeAction(ID_EDIT_PASTE, QStringLiteral("&Paste"),
               {QKS(Qt::CTRL | Qt::Key_V), QKS(Qt::SHIFT | Qt::Key_Insert)});
    MakeAction(ID_DELETE_BLOCK, QStringLiteral("&Delete"), {QKS(Qt::Key_Delete)});
    MakeAction(ID_EDIT_UNDO, QStringLiteral("&Undo"),
               {QKS(Qt::CTRL | Qt::Key_Z), QKS(Qt::ALT | Qt::Key_Backspace)});
    MakeAction(ID_EDIT_REDO, QStringLiteral("&Redo"),
               {QKS(Qt::CTRL | Qt::Key_Y), QKS(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    MakeAction(ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar"))->setCheckable(true);
    MakeAction(ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar"))->setCheckable(true);
    MakeAction(ID_BAR_DISPLAY, QStringLiteral("&Display"))->setCheckable(true);
    MakeAction(ID_BAR_MATH, QStringLiteral("&Math"))->setCheckable(true);
    MakeAction(ID_BAR_TRANSCENDENTAL, QStringLiteral("T&ranscendental"))->setCheckable(true);
    MakeAction(ID_BAR_TIME, QStringLiteral("T&ime"))->setCheckable(true);
    MakeAction(ID_BAR_LOGIC, QStringLiteral("&Logic"))->setCheckable(true);
    MakeAction(ID_BAR_GENERATORS, QStringLiteral("&Generators"))->setCheckable(true);
    MakeAction(ID_BAR_NONLINEAR, QStringLiteral("&Non-linear"))->setCheckable(true);
    MakeAction(ID_BAR_MISC, QStringLiteral("Mis&cellaneous"))->setCheckable(true);

    MakeAction(ID_VIEW_PARAMETERS, QStringLiteral("&Viewing"));
    MakeAction(ID_RUN, QStringLiteral("&Run"), {QKS(Qt::Key_F5), QKS(Qt::CTRL | Qt::Key_R)})
        ->setCheckable(true);
    MakeAction(ID_INITIALIZE, QStringLiteral("&Initialize"))->setCheckable(true);
    MakeAction(ID_TERMINATE_RUN, QStringLiteral("&Terminate Run"), {QKS(Qt::Key_Escape)})->setCheckable(true);
    MakeAction(ID_OPEN_CHART, QStringLiteral("&Chart"));
    MakeAction(ID_OPEN_LIST, QStringLiteral("&List"));
    MakeAction(ID_OPEN_GRAPH, QStringLiteral("&Graph"));
    MakeAction(ID_PREFERENCES, QStringLiteral("&Preferences"));
    MakeAction(ID_DEBUG_SETTINGS, QStringLiteral("De&bugging..."));

    MakeAction(ID_WINDOW_CASCADE, QStringLiteral("&Cascade"));
    MakeAction(ID_WINDOW_TILE_HORZ, QStringLiteral("&Tile"));
    MakeAction(ID_WINDOW_ARRANGE, QStringLiteral("&Arrange Icons"));
    MakeAction(ID_WINDOW_SPLIT, QStringLiteral("S&plit"));
    MakeAction(ID_NEXT_PANE, QStringLiteral("Next Pane"), {QKS(Qt::Key_F6)});
    MakeAction(ID_PREV_PANE, QStringLiteral("Previous Pane"), {QKS(Qt::SHIFT | Qt::Key_F6)});

    MakeAction(ID_HELP_INDEX, QStringLiteral("&Index"));
    MakeAction(ID_HELP_USING, QStringLiteral("&Using Help"));
    MakeAction(ID_HELP_EXAMPLES, QStringLiteral("&Examples..."));
    MakeAction(ID_SWEEP, QStringLiteral("S&weep..."));
    MakeAction(ID_APP_ABOUT, QStringLiteral("&About Kintra..."));
    MakeAction(ID_CONTEXT_HELP, QStringLiteral("Context Help"), {QKS(Qt::SHIFT | Qt::Key_F1)});
    MakeAction(ID_HELP, QStringLiteral("&Help"), {QKS(Qt::Key_F1)});

    // The insert commands of the palettes, with the keys that also reach some of them.
    std::size_t count = 0;
    const CBlockTypeInfo* types = BlockTypes(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (types[i].CommandId == kClockCommandId) continue;
        MakeAction(types[i].CommandId, Tip(types[i].CommandId))->setCheckable(true);
    }
    auto addKey = [this](int id, const QKeySequence& key) {
        QList<QKeySequence> keys = m_actions[id]->shortcuts();
        keys.append(key);
        m_actions[id]->setShortcuts(keys);
    };
    addKey(BlockCommand::Sine, QKS(Qt::ALT | Qt::Key_S));
    addKey(BlockCommand::Exponent, QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_0));
    addKey(BlockCommand::Integrate, QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_1));
    addKey(BlockCommand::Gaussian, QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_3));
    addKey(BlockCommand::Absolute, QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_4));
    addKey(BlockCommand::Constant, QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_5));
    addKey(BlockCommand::Divide, QKS(ctrlShiftAlt | Qt::Key_Print));
    // Bound in the key table, but no command answers them.
    MakeAction(ID_NO_HANDLER_32825, QString(), {QKS(ctrlShiftAlt | Qt::KeypadModifier | Qt::Key_2)});
    MakeAction(ID_UNUSED_BUTTON, QString());
}

void CMainFrame::CreateMenus() {
    auto fileMenu = [this](bool document) {
        auto* m = new QMenu(QStringLiteral("&File"), this);
        m->addAction(m_actions[ID_FILE_NEW]);
        m->addAction(m_actions[ID_FILE_OPEN]);
        if (document) {
            m->addAction(m_actions[ID_FILE_CLOSE]);
            m->addAction(m_actions[ID_FILE_SAVE]);
            m->addAction(m_actions[ID_FILE_SAVE_AS]);
            m->addSeparator();
            m->addAction(m_actions[ID_FILE_PRINT]);
            m->addAction(m_actions[ID_PRINT_TO_FILE]);
            m->addAction(m_actions[ID_FILE_EXPORT]);
            m->addAction(m_actions[ID_FILE_PRINT_PREVIEW]);
        }
        m->addAction(m_actions[ID_FILE_PRINT_SETUP]);
        m->addSeparator();
        m->setProperty("recentStart", m->actions().size());
        m->addSeparator();
        m->addAction(m_actions[ID_APP_EXIT]);
        m_fileMenus.push_back(m);
        return m;
    };
    auto viewMenu = [this](bool document) {
        auto* m = new QMenu(QStringLiteral("&View"), this);
        m->addAction(m_actions[ID_VIEW_TOOLBAR]);
        m->addAction(m_actions[ID_VIEW_STATUS_BAR]);
        if (document) {
            m->addSeparator();
            for (int id : {ID_BAR_DISPLAY, ID_BAR_MATH, ID_BAR_TRANSCENDENTAL, ID_BAR_TIME, ID_BAR_LOGIC,
                           ID_BAR_GENERATORS, ID_BAR_NONLINEAR, ID_BAR_MISC})
                m->addAction(m_actions[id]);
        }
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
        return m;
    };
    auto helpMenu = [this] {
        auto* m = new QMenu(QStringLiteral("&Help"), this);
        m->addAction(m_actions[ID_HELP_INDEX]);
        m->addAction(m_actions[ID_HELP]);
        m->addAction(m_actions[ID_CONTEXT_HELP]);
        m->addAction(m_actions[ID_HELP_USING]);
        m->addSeparator();
        m->addAction(m_actions[ID_HELP_EXAMPLES]);
        m->addSeparator();
        m->addAction(m_actions[ID_APP_ABOUT]);
        return m;
    };

    m_noDocMenus = {fileMenu(false), viewMenu(false), helpMenu()};

    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    edit->addAction(m_actions[ID_EDIT_UNDO]);
    edit->addAction(m_actions[ID_EDIT_REDO]);
    edit->addSeparator();
    for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_DELETE_BLOCK})
        edit->addAction(m_actions[id]);
    auto* options = new QMenu(QStringLiteral("&Options"), this);
    for (int id : {ID_VIEW_PARAMETERS, ID_RUN, ID_INITIALIZE, ID_TERMINATE_RUN, ID_OPEN_CHART, ID_OPEN_LIST,
                   ID_OPEN_GRAPH, ID_PREFERENCES, ID_SWEEP})
        options->addAction(m_actions[id]);
    options->addSeparator();
    options->addAction(m_actions[ID_DEBUG_SETTINGS]);
    auto* window = new QMenu(QStringLiteral("&Window"), this);
    for (int id : {ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE, ID_WINDOW_SPLIT, ID_NEXT_PANE,
                   ID_PREV_PANE})
        window->addAction(m_actions[id]);
    // Below the commands, the open windows, the active one checked.
    auto* windowList = new QActionGroup(window);
    connect(window, &QMenu::aboutToShow, this, [this, window, windowList] {
        for (QAction* a : windowList->actions()) {
            window->removeAction(a);
            delete a;
        }
        const std::vector<CChildFrame*> frames = ChildFrames();
        if (frames.empty()) return;
        windowList->addAction(window->addSeparator());
        int n = 0;
        for (CChildFrame* f : frames) {
            ++n;
            QAction* a = window->addAction(QStringLiteral("&%1 %2").arg(n).arg(f->windowTitle()));
            a->setCheckable(true);
            a->setChecked(f == ActiveChildFrame());
            windowList->addAction(a);
            QPointer<CChildFrame> target = f;
            connect(a, &QAction::triggered, this, [this, target] {
                if (target) m_mdi->setActiveSubWindow(target);
            });
        }
    });
    QMenu* docFile = fileMenu(true);
    m_docMenus = {docFile, edit, viewMenu(true), options, window, helpMenu()};
    for (QMenu* m : m_docMenus)
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    RebuildRecentFiles();
}

void CMainFrame::SetMenus(bool documentMenu) {
    if (m_documentMenu == documentMenu && !menuBar()->actions().isEmpty()) return;
    m_documentMenu = documentMenu;
    menuBar()->clear();
    for (QMenu* m : documentMenu ? m_docMenus : m_noDocMenus)
        menuBar()->addMenu(m);
}

void CMainFrame::RebuildRecentFiles() {
    const QStringList recent = m_app.RecentFiles();
    for (int i = 0; i < static_cast<int>(m_recentActions.size()); ++i) {
        QAction* a = m_recentActions[i];
        if (i < recent.size()) {
            a->setText(
                QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(DisplayPath(recent[i]))));
            a->setVisible(true);
            a->setEnabled(true);
        } else {
            a->setVisible(false);
        }
    }
    for (QMenu* m : m_fileMenus) {
        for (QAction* a : m_recentActions)
            m->removeAction(a);
        QAction* placeholder = m->property("recentPlaceholder").value<QAction*>();
        if (!placeholder) {
            placeholder = new QAction(QStringLiteral("Recent File"), m);
            placeholder->setEnabled(false);
            m->setProperty("recentPlaceholder", QVariant::fromValue(placeholder));
        }
        m->removeAction(placeholder);
        const int start = m->property("recentStart").toInt();
        QAction* before = m->actions().value(start);
        if (recent.isEmpty())
            m->insertAction(before, placeholder);
        else
            for (QAction* a : m_recentActions)
                m->insertAction(before, a);
    }
}
