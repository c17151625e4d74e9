#pragma once
// Shared helpers of the core tests: scripted platform services and a few simple block types.

#include "model/BlockTypes.h"
#include "model/OrventDoc.h"
#include "platform/Platform.h"
#include "views/ViewWindows.h"

#include <functional>
#include <memory>

// Installs a memory settings store, a recording message host and a scriptable window host for
// the life of a test.
class TestPlatform {
  public:
    class Windows : public ViewWindowHost {
      public:
        bool ChooseColor(COLORREF initial, COLORREF& chosen) override {
            lastColorShown = initial;
            if (!colorAnswer) return false;
            chosen = *colorAnswer;
            return true;
        }
        bool ChooseFont(LOGFONT& font, COLORREF* color, int flags) override {
            lastFontFlags = flags;
            lastFontColorShown = color ? *color : 0xFFFFFFFF;
            if (!fontAnswer) return false;
            font = *fontAnswer;
            if (color) *color = fontColorAnswer;
            return true;
        }
        bool RunBlockEditor(CBlockEditorData& data) override {
            editorShown = data;
            if (!editorEdit) return false;
            editorEdit(data);
            return true;
        }
        bool RunModelProperties(CSettingList& working, std::string& title) override {
            if (!modelEdit) return false;
            modelEdit(working, title);
            return true;
        }
        CView* OpenRunWindow(COrventDoc&) override {
            ++runWindowsOpened;
            return runWindow;
        }
        void RunWindowStep(COrventDoc& doc) override {
            ++runWindowSteps;
            if (onRunStep) onRunStep(doc);
            if (stopAfterSteps > 0 && runWindowSteps >= stopAfterSteps) doc.OnTerminateRun();
        }
        void CloseRunWindow(COrventDoc&) override { ++runWindowsClosed; }
        void ShowHelp(int contextId) override { helpShown.push_back(contextId); }

        std::unique_ptr<COLORREF> colorAnswer;
        COLORREF lastColorShown = 0;
        std::unique_ptr<LOGFONT> fontAnswer;
        COLORREF fontColorAnswer = 0;
        COLORREF lastFontColorShown = 0;
        int lastFontFlags = 0;
        CBlockEditorData editorShown;
        std::function<void(CBlockEditorData&)> editorEdit;
        std::function<void(CSettingList&, std::string&)> modelEdit;
        CView* runWindow = nullptr;
        std::function<void(COrventDoc&)> onRunStep;
        int runWindowsOpened = 0;
        int runWindowSteps = 0;
        int runWindowsClosed = 0;
        int stopAfterSteps = 0;
        std::vector<int> helpShown;
    };

    TestPlatform() : scope(&store, &messages, &windows) {}

    MemorySettingsStore store;
    RecordingMessageHost messages;
    Windows windows;
    ScopedPlatform scope;
};

// An algebraic block: Value = sum of its connected inputs.
class PassBlock : public CBlock {
  public:
    explicit PassBlock(COrventDoc* doc, int kind = BK_ALGEBRAIC)
        : CBlock(151, doc, BlockCommand::Sum, BlockType::Sum) {
        Kind = kind;
    }
    void Serialize(CArchive& ar) override { SerializeCommon(ar); }
    int Initialize() override {
        ++initialized;
        return 1;
    }
    void Compute() override {
        ++computed;
        double v = 0.0;
        for (CBlock* in : Inputs)
            if (in) v += in->Value;
        Value = v;
    }
    int initialized = 0;
    int computed = 0;
};

// Places a PassBlock at (x, y) and returns it.
inline PassBlock* Place(COrventDoc& doc, int x, int y, int kind = BK_ALGEBRAIC) {
    doc.PendingBlock = std::make_unique<PassBlock>(&doc, kind);
    auto* b = static_cast<PassBlock*>(doc.PendingBlock.get());
    doc.PlaceBlock(x, y);
    return b;
}
