#include "platform/Platform.h"

namespace {
MemorySettingsStore g_memoryStore;
StderrMessageHost g_stderrMessages;
WindowHost g_headlessWindows;
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

PlatformServices& Platform() {
    static PlatformServices services;
    return services;
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
