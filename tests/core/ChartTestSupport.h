#pragma once
// A chart document with its chart view attached, drawn through the recording device context.

#include "TestSupport.h"
#include "chart/OrventView.h"
#include "platform/RecordingDC.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

class ChartTest : public ::testing::Test {
  protected:
    ChartTest() {
        doc.AddView(&view);
        doc.OnNewDocument();
    }

    // Names and values off: the cells take their minimum size.
    void NoTexts() {
        view.NameDisplay = 0;
        view.ValueDisplay = 0;
        view.RecalcLayout(&dc);
    }

    // A block with `inputs` inputs at (x, y).
    PassBlock* Add(int x, int y, int inputs = 1, int invert = 0) {
        PassBlock* b = Place(doc, x, y);
        b->InputsShown = inputs;
        b->Invert = invert;
        b->Name = FormatString("B%d_%d", x, -y);
        return b;
    }

    // Connects input `input` of `to` to `from` and routes it.
    void Connect(CBlock* from, CBlock* to, int input = 0) {
        to->Inputs[input] = from;
        doc.RouteInput(to, input);
    }

    void Draw() {
        dc.Clear();
        view.RecalcLayout(&dc);
        view.OnDraw(dc);
    }

    TestPlatform platform;
    COrventDoc doc;
    COrventView view;
    RecordingDC dc;
};
