#pragma once
// Helpers shared by the tests of the program's main window.

#include "AboutDlg.h"
#include "CommandIds.h"
#include "ExamplesDialog.h"
#include "FrameLayout.h"
#include "HelpWindow.h"
#include "NativePath.h"
#include "RunWindow.h"
#include "ShellSupport.h"
#include "chart/OrventView.h"
#include "model/BlockTypes.h"
#include "views/GraphView.h"
#include "views/ListView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <map>
#include <random>
#include <set>
#include <string>

namespace {

inline std::vector<CChildFrame*> FramesOf(CMainFrame& frame, const COrventDoc* doc) {
    return frame.ChildFrames(doc);
}

} // namespace
