#include "platform/Platform.h"

namespace {
MemorySettingsStore g_memoryStore;
StderrMessageHost g_stderrMessages;
WindowHost g_headlessWindows;
thread_local PlatformServices* t_threadServices = nullptr;
} // namespace

PlatformServices::PlatformServices()
    : m_settings(&g_memoryStore), m_messages(&g_stderrMessages), m_windows(&g_headlessWindows) {}

void PlatformServices::SetSettings(SettingsStore* s) {
    m_settings = s ? s : &g_memoryStore;
}
void PlatformServices::SetMessages(MessageHost* m) {
    m_messages = m ? m : &g_stderrMessages;
}
void PlatformServices::SetWindows(WindowHost* w) {
    m_windows = w ? w : &g_headlessWindows;
}

PlatformServices& ProcessServices() {
    static PlatformServices services;
    return services;
}

PlatformServices& Platform() {
    return t_threadServices ? *t_threadServices : ProcessServices();
}

ScopedPlatform::ScopedPlatform(SettingsStore* s, MessageHost* m, WindowHost* w)
    : m_oldSettings(&Platform().Settings()), m_oldMessages(&Platform().Messages()),
      m_oldWindows(&Platform().Windows()) {
    if (s) Platform().SetSettings(s);
    if (m) Platform().SetMessages(m);
    if (w) Platform().SetWindows(w);
}

ScopedPlatform::~ScopedPlatform() {
    Platform().SetSettings(m_oldSettings);
    Platform().SetMessages(m_oldMessages);
    Platform().SetWindows(m_oldWindows);
}

ScopedThreadPlatform::ScopedThreadPlatform(SettingsStore* s, MessageHost* m, WindowHost* w)
    : m_previous(t_threadServices) {
    const PlatformServices& outer = Platform();
    m_services.SetSettings(s ? s : &outer.Settings());
    m_services.SetMessages(m ? m : &outer.Messages());
    m_services.SetWindows(w ? w : &outer.Windows());
    t_threadServices = &m_services;
}

ScopedThreadPlatform::~ScopedThreadPlatform() {
    t_threadServices = m_previous;
}
