#pragma once
// File names as the file system holds them (bytes, as the core takes them) and as the windows
// hold them (QString). A name need not be valid UTF-8: every byte that starts no valid character
// is held as the lone surrogate U+DC00 + byte, which no UTF-8 name can contain, and turns back
// into that byte. Qt's own file functions cannot reach such names, so paths pass through these.

#include <QString>
#include <string>

class QUrl;

QString PathFromNative(const std::string& bytes);
std::string PathToNative(const QString& path);
// True when `path` holds bytes that are not UTF-8.
bool HoldsRawBytes(const QString& path);
// For captions and menus: held bytes shown as U+FFFD.
QString DisplayPath(const QString& path);

// The absolute, cleaned form of `path` against the current folder.
QString AbsolutePath(const QString& path);
// The path with links, "." and ".." resolved by the file system; empty when it does not exist.
QString CanonicalPath(const QString& path);

// The recent-file list's stored text of a path, and back. A name that is not UTF-8 is stored as
// a "file://" URL with its bytes percent-encoded; every other name as itself.
std::string RecentEntryText(const QString& path);
QString RecentEntryPath(const std::string& text);

// The local file a URL names (a dropped file), with its bytes as they are; empty when the URL is
// not a local file.
QString LocalFileOf(const QUrl& url);

// What a file chooser that was offered `proposed` returned as `chosen`: the chooser shows held
// bytes as U+FFFD, so a choice in the proposed folder (or of the proposed file) gets its bytes back.
QString ChosenPath(const QString& chosen, const QString& proposed);
