#pragma once
// What the main window asks of the application: the documents' life (new, open, save, close),
// the recent-file list and the print-preview setting. COrventApp implements it; the main window
// knows the application only through it, so the window can be built and read on its own.

#include <QString>
#include <QStringList>

class COrventDoc;

class AppServices {
  public:
    // File New: a new chart with its chart window.
    virtual COrventDoc* NewDocument() = 0;
    // The chart in `path`, or the one already open from it; null when it could not be read.
    virtual COrventDoc* OpenDocument(const QString& path) = 0;
    // The file chooser, then OpenDocument.
    virtual void PromptOpen() = 0;
    // A chart file opened as a new, untitled chart (saving asks for a name).
    virtual COrventDoc* OpenUntitledCopy(const QString& path) = 0;
    // Save (Save As when the chart has no file yet, or `saveAs`); false when not saved.
    virtual bool SaveDocument(COrventDoc& doc, bool saveAs) = 0;
    // The question before a modified chart is closed; false when the user cancelled.
    virtual bool SaveModified(COrventDoc& doc) = 0;
    // File Close: asks, then closes every window of the document.
    virtual bool CloseDocument(COrventDoc& doc) = 0;
    // Closes every document after asking about each modified one; false when cancelled.
    virtual bool CloseAllDocuments() = 0;
    // A window of `doc` went: the document goes with its last window.
    virtual void DocumentWindowClosed(COrventDoc* doc) = 0;

    // The recent files, most recent first, at most kRecentCount.
    virtual QStringList RecentFiles() const = 0;
    static constexpr int kRecentCount = 4;

    // Pages side by side in print preview; the preview changes it.
    virtual int& PreviewPageCount() = 0;

  protected:
    AppServices() = default;
    AppServices(const AppServices&) = default;
    AppServices& operator=(const AppServices&) = default;
    ~AppServices() = default;
};

// The application's title, the caption of its own messages.
inline const char* const kAppTitle = "Kintra";
