#pragma once
// A Kintra program for one test: its own settings file in a temporary folder, message boxes
// recorded instead of shown.

#include "ChildFrame.h"
#include "MainFrame.h"
#include "OrventApp.h"
#include "QtPlatform.h"
#include "model/OrventDoc.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

#include <gtest/gtest.h>

class ShellTest : public ::testing::Test {
  protected:
    QString IniPath() const { return m_dir.filePath(QStringLiteral("Kintra.ini")); }
    QString FilePath(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    // The program with its store, without starting it.
    COrventApp& Make() {
        m_scope.reset();
        m_app.reset();
        m_app = std::make_unique<COrventApp>(IniPath());
        m_scope = std::make_unique<ScopedPlatform>(&m_app->Settings(), &messages, &m_app->Windows());
        return *m_app;
    }
    // The program started as from a command line holding `paths`.
    COrventApp& Start(const QStringList& paths = {}) {
        Make();
        EXPECT_TRUE(m_app->InitInstance(paths));
        return *m_app;
    }
    // Ends the program as its main window's close does (arrangement and placement saved).
    void Stop() {
        if (!m_app) return;
        if (m_app->MainFrame()) {
            m_app->MainFrame()->SaveBarState();
            m_app->MainFrame()->SavePlacement();
        }
        m_app->ExitInstance();
        m_scope.reset();
        m_app.reset();
    }
    void TearDown() override {
        m_scope.reset();
        m_app.reset();
        // The help window is one per process and outlives the program that showed it. Left open,
        // it would lie over the next test's main window and take the mouse moves meant for it.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) w->hide();
    }

    COrventApp& App() { return *m_app; }
    CMainFrame& Frame() { return *m_app->MainFrame(); }

    RecordingMessageHost messages;

  private:
    QTemporaryDir m_dir;
    std::unique_ptr<COrventApp> m_app;
    std::unique_ptr<ScopedPlatform> m_scope;
};
