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
    friend // The process's services.
        PlatformServices&
        ProcessServices();
    // The services of the calling thread: those a ScopedThreadPlatform installed on it, otherwise
    // the process's.
    PlatformServices& Platform();
    friend class ScopedThreadPlatform;
    PlatformServices();
    SettingsStore* m_settings;
    MessageHost* m_messages;
    WindowHost* m_windows;
};

// The process's services.
PlatformServices& ProcessServices();
// The services of the calling thread: those a ScopedThreadPlatform installed on it, otherwise
// the process's.
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

// Installs services for the calling thread alone, for the lifetime of a scope: Platform() on this
// thread answers with them (a null one: the process's), other threads are not affected. A run in
// a worker thread keeps its message boxes and windows to itself this way. Scopes on one thread
// nest.
class ScopedThreadPlatform {
  public:
    ScopedThreadPlatform(SettingsStore* s, MessageHost* m, WindowHost* w);
    ~ScopedThreadPlatform();
    ScopedThreadPlatform(const ScopedThreadPlatform&) = delete;
    ScopedThreadPlatform& operator=(const ScopedThreadPlatform&) = delete;

  private:
    PlatformServices m_services;
    PlatformServices* m_previous;
};
