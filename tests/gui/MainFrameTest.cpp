// The main window on its own: built on a stand-in for the application, it asks the application
// for nothing but what AppServices offers.

#include "CommandIds.h"
#include "ShellSupport.h"

#include <QAction>
#include <QStringList>

namespace {

// What the main window asks of the application, recorded: the window needs nothing else of it.
struct RecordingServices : AppServices {
    QStringList recent{QStringLiteral("/a.cht"), QStringLiteral("/b.cht")};
    QStringList asked;
    int previewPages = 0;

    COrventDoc* NewDocument() override {
        asked << QStringLiteral("new");
        return nullptr;
    }
    COrventDoc* OpenDocument(const QString& path) override {
        asked << QStringLiteral("open ") + path;
        return nullptr;
    }
    void PromptOpen() override { asked << QStringLiteral("prompt"); }
    COrventDoc* OpenUntitledCopy(const QString& path) override {
        asked << QStringLiteral("copy ") + path;
        return nullptr;
    }
    bool SaveDocument(COrventDoc&, bool saveAs) override {
        asked << (saveAs ? QStringLiteral("save as") : QStringLiteral("save"));
        return true;
    }
    bool SaveModified(COrventDoc&) override { return Yes("save modified"); }
    bool CloseDocument(COrventDoc&) override { return Yes("close"); }
    bool CloseAllDocuments() override { return Yes("close all"); }
    void DocumentWindowClosed(COrventDoc*) override { asked << QStringLiteral("window closed"); }
    QStringList RecentFiles() const override { return recent; }
    int& PreviewPageCount() override { return previewPages; }

  private:
    bool Yes(const char* what) {
        asked << QString::fromLatin1(what);
        return true;
    }
};

TEST_F(ShellTest, TheMainWindowAsksTheApplicationOnlyThroughItsServices) {
    Make(); // the settings store and message boxes
    RecordingServices services;
    CMainFrame frame(services);
    ASSERT_TRUE(frame.Create());
    frame.RebuildRecentFiles();
    EXPECT_TRUE(frame.Action(ID_FILE_MRU_FILE1 + 1)->isVisible());
    EXPECT_FALSE(frame.Action(ID_FILE_MRU_FILE1 + 2)->isVisible());
    const struct {
        int command;
        const char* asked;
    } cases[] = {
        {ID_FILE_NEW, "new"},
        {ID_FILE_OPEN, "prompt"},
        {ID_FILE_MRU_FILE1, "open /a.cht"},
        {ID_FILE_MRU_FILE1 + 1, "open /b.cht"},
        {ID_FILE_MRU_FILE1 + 3, ""}, // beyond the list: nothing
        {ID_FILE_CLOSE, ""},         // no chart: nothing to close
    };
    for (const auto& c : cases) {
        services.asked.clear();
        frame.OnCommand(c.command);
        EXPECT_EQ(services.asked.join(QStringLiteral("; ")).toStdString(), c.asked) << c.command;
    }
    services.asked.clear();
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(services.asked.join(QStringLiteral("; ")).toStdString(), "close all");
}

} // namespace
