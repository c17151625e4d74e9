#pragma once
// The services the core reaches through the platform: settings store, message boxes, windows.
// The program, the command-line tool and tests each install their own; until then a memory
// store, standard-error messages and a headless window host serve.

#include "platform/MessageHost.h"
#include "platform/SettingsStore.h"
#include "platform/WindowHost.h"

class PlatformServices {
  public:
    SettingsStore& Settings() const { return *m_settings; }
    MessageHost& Messages() const { return *m_messages; }
    WindowHost& Windows() const { return *m_windows; }

    // Installing null restores the built-in default. The caller keeps ownership.
    void SetSettings(SettingsStore* s);
    void SetMessages(MessageHost* m);
    void SetWindows(WindowHost* w);

  private:
    friend PlatformServices& Platform();
    PlatformServices();
    SettingsStore* m_settings;
    MessageHost* m_messages;
    WindowHost* m_windows;
};

PlatformServices& Platform();

// Installs services for the lifetime of a scope and restores the previous ones afterwards.
class ScopedPlatform {
  public:
    ScopedPlatform(SettingsStore* s, MessageHost* m, WindowHost* w);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

  private:
    SettingsStore* m_oldSettings;
    MessageHost* m_oldMessages;
    WindowHost* m_oldWindows;
};
