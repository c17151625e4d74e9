#include "OrventApp.h"

#include "ChildFrame.h"
#include "HelpWindow.h"
#include "MainFrame.h"
#include "NativePath.h"
#include "QtPlatform.h"
#include "RunWindow.h"
#include "model/Block.h"
#include "model/ChartDocument.h"
#include "model/OrventDoc.h"
#include "platform/DeviceContext.h"
#include "platform/FileIo.h"
#include "platform/Platform.h"
#include "platform/StringTable.h"
#include "render/QtDeviceContext.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QMdiArea>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
COrventApp* g_app = nullptr;
const char* const kFileFilter = "Kintra Files (*.cht)";

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
COLORREF ToColorRef(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

// The font the chooser opens on: the face and size the chart actually draws for `lf` (its face
// may be missing here and replaced), in points (a logical unit is 0.01 inch).
QFont ShownFont(const LOGFONT& lf) {
    const QFont drawn = QtDeviceContext::FontFor(lf, 100.0);
    QFont f(QFontInfo(drawn).family());
    f.setPointSizeF(std::max(1.0, drawn.pixelSize() * 0.72 / 100.0));
    f.setWeight(drawn.weight());
    f.setItalic(drawn.italic());
    f.setUnderline(drawn.underline());
    f.setStrikeOut(drawn.strikeOut());
    return f;
}

// Takes into `lf` what the user changed between `shown` and `chosen`; a property left as it
// was keeps the record's own value, so OK without a change changes nothing.
void TakeChanges(const QFont& shown, const QFont& chosen, LOGFONT& lf) {
    if (chosen.family() != shown.family()) lf.SetFaceName(chosen.family().toStdString());
    if (chosen.pointSizeF() != shown.pointSizeF()) {
        const double points = chosen.pointSizeF() > 0 ? chosen.pointSizeF() : chosen.pixelSize() * 0.75;
        lf.lfHeight = -static_cast<std::int32_t>(std::lround(points * 100.0 / 72.0));
        lf.lfWidth = 0;
    }
    if (chosen.weight() != shown.weight()) lf.lfWeight = chosen.weight();
    if (chosen.italic() != shown.italic()) lf.lfItalic = chosen.italic() ? 1 : 0;
    if (chosen.underline() != shown.underline()) lf.lfUnderline = chosen.underline() ? 1 : 0;
    if (chosen.strikeOut() != shown.strikeOut()) lf.lfStrikeOut = chosen.strikeOut() ? 1 : 0;
}

} // namespace

// ---- QtWindowHost -----------------------------------------------------------------------------

bool QtWindowHost::ChooseColor(COLORREF initial, COLORREF& chosen) {
    const QColor c = QColorDialog::getColor(ToQColor(initial), nullptr, QStringLiteral("Color"));
    if (!c.isValid()) return false;
    chosen = ToColorRef(c);
    return true;
}

bool QtWindowHost::ChooseFont(LOGFONT& font, COLORREF* color, int) {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Font"));
    auto* chooser = new QFontDialog(ShownFont(font), &dialog);
    chooser->setWindowFlags(Qt::Widget);
    chooser->setOption(QFontDialog::NoButtons);
    // As the chooser shows it (sizes in whole points, styles of the face).
    const QFont shown = chooser->currentFont();
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(chooser);
    QColor chosenColor = color ? ToQColor(*color) : QColor();
    if (color) {
        auto* row = new QHBoxLayout;
        auto* button = new QPushButton(QStringLiteral("Color..."), &dialog);
        auto* swatch = new QWidget(&dialog);
        swatch->setFixedSize(40, 20);
        swatch->setAutoFillBackground(true);
        auto paint = [swatch, &chosenColor] {
            QPalette p = swatch->palette();
            p.setColor(QPalette::Window, chosenColor);
            swatch->setPalette(p);
        };
        paint();
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &chosenColor, paint] {
            const QColor c = QColorDialog::getColor(chosenColor, &dialog, QStringLiteral("Color"));
            if (c.isValid()) {
                chosenColor = c;
                paint();
            }
        });
        row->addWidget(button);
        row->addWidget(swatch);
        row->addStretch(1);
        layout->addLayout(row);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;
    TakeChanges(shown, chooser->currentFont(), font);
    if (color) *color = ToColorRef(chosenColor);
    return true;
}

CView* QtWindowHost::OpenRunWindow(COrventDoc& doc) {
    CMainFrame* frame = m_app.MainFrame();
    return frame ? frame->OpenRunWindow(doc) : nullptr;
}

void QtWindowHost::RunWindowStep(COrventDoc& doc) {
    if (CMainFrame* frame = m_app.MainFrame()) frame->RunWindowStep(doc);
}

void QtWindowHost::CloseRunWindow(COrventDoc& doc) {
    if (CMainFrame* frame = m_app.MainFrame()) frame->CloseRunWindow(doc);
}

void QtWindowHost::ShowHelp(int contextId) {
    CHelpWindow::Instance().ShowContext(contextId);
}

namespace {
CView* OpenWindow(COrventApp& app, COrventDoc& doc, ViewKind kind) {
    CMainFrame* frame = app.MainFrame();
    CChildFrame* child = frame ? frame->CreateViewFrame(doc, kind) : nullptr;
    if (!child) {
        Platform().Messages().MessageBox("Command failed.", kAppTitle, MB_OK, MB_ICONWARNING);
        return nullptr;
    }
    return child->FirstView();
}
} // namespace

CView* QtWindowHost::OpenChartWindow(COrventDoc& doc) {
    return OpenWindow(m_app, doc, ViewKind::Chart);
}
CView* QtWindowHost::OpenGraphWindow(COrventDoc& doc) {
    return OpenWindow(m_app, doc, ViewKind::Graph);
}
CView* QtWindowHost::OpenListWindow(COrventDoc& doc) {
    return OpenWindow(m_app, doc, ViewKind::List);
}

void QtWindowHost::CloseWindow(CView& view) {
    if (CMainFrame* frame = m_app.MainFrame()) frame->CloseViewWindow(view);
}

void QtWindowHost::CloseDocumentWindows(COrventDoc& doc) {
    if (CMainFrame* frame = m_app.MainFrame()) frame->CloseDocumentWindows(doc);
}

// ---- COrventApp -------------------------------------------------------------------------------

COrventApp::COrventApp(const QString& settingsPath)
    : m_settings(std::make_unique<QtSettingsStore>(settingsPath.isEmpty() ? QtSettingsStore::DefaultPath()
                                                                          : settingsPath)),
      m_messages(std::make_unique<QtMessageHost>()), m_windows(*this) {
    g_app = this;
    // The views' default colours are the desktop's.
    const QPalette palette = QApplication::palette();
    SetSysColor(COLOR_WINDOW, ToColorRef(palette.color(QPalette::Base)));
    SetSysColor(COLOR_WINDOWTEXT, ToColorRef(palette.color(QPalette::Text)));
    Platform().SetSettings(m_settings.get());
    Platform().SetMessages(m_messages.get());
    Platform().SetWindows(&m_windows);
}

COrventApp::~COrventApp() {
    // Windows first (their views leave the documents), then the documents.
    m_frame.reset();
    m_documents.clear();
    Clipboard.reset();
    m_settings->Sync();
    if (&Platform().Settings() == m_settings.get()) Platform().SetSettings(nullptr);
    if (&Platform().Messages() == m_messages.get()) Platform().SetMessages(nullptr);
    if (&Platform().Windows() == &m_windows) Platform().SetWindows(nullptr);
    if (g_app == this) g_app = nullptr;
}

COrventApp* COrventApp::Instance() {
    return g_app;
}

void COrventApp::SetApplicationIdentity() {
    QApplication::setApplicationName(QStringLiteral("Kintra"));
    QApplication::setOrganizationName(QStringLiteral("Kintra"));
    QApplication::setApplicationVersion(QStringLiteral("1.02"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/kintra.svg")));
    QApplication::setDesktopFileName(QStringLiteral("kintra"));
}

bool COrventApp::InitInstance(const QStringList& paths, int requestedShow) {
    LoadRecentFiles();
    PreviewPages = m_settings->GetProfileInt("Settings", "PreviewPages", 0);
    m_frame = std::make_unique<CMainFrame>(*this);
    // The window's size before its bars are laid out: the stored one, else most of the screen.
    FramePlacement placement;
    if (ParsePlacement(m_settings->GetProfileString("Settings", "MainFramePos", ""), placement) &&
        placement.right - placement.left >= 100 && placement.bottom - placement.top >= 100) {
        m_frame->resize(placement.right - placement.left, placement.bottom - placement.top);
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize avail = screen->availableSize();
        m_frame->resize(std::min(1200, avail.width() * 9 / 10), std::min(860, avail.height() * 9 / 10));
    }
    if (!m_frame->Create()) {
        m_frame.reset();
        return false;
    }
    if (!paths.isEmpty()) {
        for (const QString& path : paths)
            OpenDocument(path);
    } else {
        NewDocument();
    }
    m_frame->InitialShow(requestedShow);
    return true;
}

void COrventApp::ExitInstance() {
    SaveRecentFiles();
    m_settings->WriteProfileInt("Settings", "PreviewPages", PreviewPages);
    m_settings->Sync();
}

COrventDoc* COrventApp::NewDocument() {
    const std::string title = "Chart" + std::to_string(m_nextChartNumber++);
    std::unique_ptr<COrventDoc> owned = kintra::NewChartDocument();
    if (!owned) return nullptr; // the window host has said so
    COrventDoc* doc = owned.get();
    m_documents.push_back(std::move(owned));
    doc->SetTitle(title);
    m_frame->UpdateFrameTitles(doc);
    return doc;
}

COrventDoc* COrventApp::FindDocumentByPath(const QString& path) const {
    const QString canonical = CanonicalPath(path);
    if (canonical.isEmpty()) return nullptr;
    for (const auto& d : m_documents)
        if (!d->GetPathName().empty() && CanonicalPath(PathFromNative(d->GetPathName())) == canonical)
            return d.get();
    return nullptr;
}

COrventDoc* COrventApp::OpenDocument(const QString& path) {
    if (COrventDoc* open = FindDocumentByPath(path)) {
        // Already open: its first window comes forward.
        const auto frames = m_frame->ChildFrames(open);
        if (!frames.empty()) m_frame->MdiArea()->setActiveSubWindow(frames.front());
        return open;
    }
    const QString absolute = AbsolutePath(path);
    // Reading the file opens the windows it records, through the window host; a file that
    // cannot be read has said why, and its windows are gone again.
    std::unique_ptr<COrventDoc> owned = kintra::OpenChartDocument(PathToNative(absolute));
    if (!owned) {
        RemoveFromRecentFiles(absolute);
        return nullptr;
    }
    COrventDoc* doc = owned.get();
    m_documents.push_back(std::move(owned));
    m_frame->RestoreWindowPlacements(*doc, PathToNative(absolute));
    const auto frames = m_frame->ChildFrames(doc);
    if (!frames.empty()) m_frame->MdiArea()->setActiveSubWindow(frames.front());
    m_frame->UpdateFrameTitles(doc);
    AddToRecentFiles(absolute);
    return doc;
}

COrventDoc* COrventApp::OpenUntitledCopy(const QString& path) {
    std::unique_ptr<COrventDoc> owned = kintra::OpenChartDocument(PathToNative(AbsolutePath(path)));
    if (!owned) return nullptr;
    COrventDoc* doc = owned.get();
    m_documents.push_back(std::move(owned));
    // Nothing ties it to the file it came from: Save asks where to put it.
    doc->SetPathName(std::string());
    doc->SetTitle("Chart" + std::to_string(m_nextChartNumber++));
    doc->SetModifiedFlag(false);
    const auto frames = m_frame->ChildFrames(doc);
    if (!frames.empty()) m_frame->MdiArea()->setActiveSubWindow(frames.front());
    m_frame->UpdateFrameTitles(doc);
    return doc;
}

void COrventApp::PromptOpen() {
    const QString path =
        QFileDialog::getOpenFileName(m_frame.get(), QStringLiteral("Open"), QString(),
                                     QString::fromUtf8(kFileFilter) + QStringLiteral(";;All Files (*)"));
    if (!path.isEmpty()) OpenDocument(path);
}

bool COrventApp::SaveDocument(COrventDoc& doc, bool saveAs) {
    QString path = PathFromNative(doc.GetPathName());
    if (saveAs || path.isEmpty()) {
        QString proposed = path;
        if (proposed.isEmpty()) {
            // A plain name in the chooser's folder, whatever the title holds.
            const std::string name = PlainFileName(doc.GetTitle(), 4);
            proposed = QString::fromStdString(name.empty() ? "Chart" : name) + QStringLiteral(".cht");
        }
        QFileDialog dialog(m_frame.get(), QStringLiteral("Save As"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({QString::fromUtf8(kFileFilter), QStringLiteral("All Files (*)")});
        dialog.setDefaultSuffix(QStringLiteral("cht"));
        dialog.selectFile(DisplayPath(proposed));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        path = ChosenPath(dialog.selectedFiles().front(), proposed);
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".cht");
    }
    const QString absolute = AbsolutePath(path);
    // A failed save has said why; the chart keeps its old name and file.
    if (!doc.OnSaveDocument(PathToNative(absolute))) return false;
    if (m_frame) m_frame->SaveWindowPlacements(doc, PathToNative(absolute));
    AddToRecentFiles(absolute);
    if (m_frame) m_frame->UpdateFrameTitles(&doc);
    return true;
}

bool COrventApp::SaveModified(COrventDoc& doc) {
    if (!doc.IsModified()) return true;
    const std::string text = "Save changes to " + doc.GetTitle() + "?";
    switch (Platform().Messages().MessageBox(text, kAppTitle, MB_YESNOCANCEL, MB_ICONQUESTION)) {
    case IDYES:
        return SaveDocument(doc, false);
    case IDNO:
        return true;
    default:
        return false;
    }
}

bool COrventApp::CloseDocument(COrventDoc& doc) {
    if (m_frame && m_frame->IsRunning()) return false;
    if (!SaveModified(doc)) return false;
    if (m_frame) m_frame->CloseDocumentWindows(doc);
    DestroyDocument(&doc);
    return true;
}

bool COrventApp::CloseAllDocuments() {
    for (const auto& d : m_documents)
        if (!SaveModified(*d)) return false;
    while (!m_documents.empty()) {
        COrventDoc* doc = m_documents.back().get();
        if (m_frame) m_frame->CloseDocumentWindows(*doc);
        DestroyDocument(doc);
    }
    return true;
}

void COrventApp::DocumentWindowClosed(COrventDoc* doc) {
    if (!m_frame) return;
    auto it =
        std::find_if(m_documents.begin(), m_documents.end(), [doc](const auto& d) { return d.get() == doc; });
    if (it == m_documents.end()) return;
    if (m_frame->ChildFrames(doc).empty()) DestroyDocument(doc);
}

void COrventApp::DestroyDocument(COrventDoc* doc) {
    auto it =
        std::find_if(m_documents.begin(), m_documents.end(), [doc](const auto& d) { return d.get() == doc; });
    if (it == m_documents.end()) return;
    std::unique_ptr<COrventDoc> owned = std::move(*it);
    m_documents.erase(it);
    owned.reset();
}

// ---- Recent files -----------------------------------------------------------------------------

void COrventApp::LoadRecentFiles() {
    m_recent.clear();
    for (int i = 1; i <= kRecentCount; ++i) {
        const std::string name = "File" + std::to_string(i);
        const QString path = RecentEntryPath(m_settings->GetProfileString("Recent File List", name, ""));
        if (!path.isEmpty() && !m_recent.contains(path)) m_recent.append(path);
    }
}

void COrventApp::SaveRecentFiles() {
    for (int i = 1; i <= kRecentCount; ++i) {
        const std::string name = "File" + std::to_string(i);
        m_settings->WriteProfileString("Recent File List", name,
                                       i <= m_recent.size() ? RecentEntryText(m_recent[i - 1])
                                                            : std::string());
    }
}

void COrventApp::AddToRecentFiles(const QString& path) {
    m_recent.removeAll(path);
    m_recent.prepend(path);
    while (m_recent.size() > kRecentCount)
        m_recent.removeLast();
    SaveRecentFiles();
    if (m_frame) m_frame->RebuildRecentFiles();
}

void COrventApp::RemoveFromRecentFiles(const QString& path) {
    if (!m_recent.removeAll(path)) return;
    SaveRecentFiles();
    if (m_frame) m_frame->RebuildRecentFiles();
}
