// Fuzz target of the chart loader: any bytes are read as a chart file. Reading either fails
// cleanly (its error, after its message) or gives a chart that is written again and must then
// read back without complaint.

#include "model/ChartFile.h"
#include "model/OrventDoc.h"
#include "platform/Archive.h"
#include "platform/Platform.h"
#include "views/HeadlessWindows.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Counts the boxes instead of showing them.
class CountingMessages : public MessageHost {
  public:
    int MessageBox(const std::string&, const std::string&, int, int) override {
        ++shown;
        return IDOK;
    }
    int shown = 0;
};

// Reads the bytes into a fresh document with its chart view; false when the reader refused them.
bool Load(const std::vector<std::uint8_t>& bytes, COrventDoc& doc, HeadlessWindowHost& windows,
          const CountingMessages& messages) {
    windows.OpenChartWindow(doc);
    CArchive ar(bytes);
    try {
        doc.Serialize(ar);
        return true;
    } catch (const CArchiveException&) {
        // The end of the data or a count beyond it: the open reports it.
    } catch (const kintra::CChartLoadRefused&) {
        if (messages.shown == 0) {
            std::fprintf(stderr, "a refused file showed no message\n");
            std::abort();
        }
    }
    return false;
}

std::vector<std::uint8_t> Save(COrventDoc& doc) {
    CArchive ar;
    doc.Serialize(ar);
    return ar.TakeBytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySettingsStore store;
    CountingMessages messages;
    HeadlessWindowHost windows;
    ScopedPlatform platform(&store, &messages, &windows);

    std::vector<std::uint8_t> saved;
    {
        COrventDoc doc;
        if (!Load(std::vector<std::uint8_t>(data, data + size), doc, windows, messages)) {
            windows.CloseDocumentWindows(doc);
            return 0;
        }
        saved = Save(doc);
        windows.CloseDocumentWindows(doc);
    }
    // What Kintra wrote, Kintra reads: every input and view finds its block again.
    messages.shown = 0;
    COrventDoc again;
    if (!Load(saved, again, windows, messages) || messages.shown != 0) {
        std::fprintf(stderr, "a chart written after reading could not be read back cleanly\n");
        std::abort();
    }
    windows.CloseDocumentWindows(again);
    return 0;
}
