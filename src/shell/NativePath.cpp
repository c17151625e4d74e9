#include "NativePath.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr char16_t kHeldByte = 0xDC00;
const char* const kFileUrl = "file://";

// The length of the valid UTF-8 character at s[0], or 0 when none starts there.
std::size_t CharLength(const unsigned char* s, std::size_t n) {
    const unsigned char c = s[0];
    if (c < 0x80) return 1;
    std::size_t len = c >= 0xc2 && c <= 0xdf   ? 2
                      : c >= 0xe0 && c <= 0xef ? 3
                      : c >= 0xf0 && c <= 0xf4 ? 4
                                               : 0;
    if (len == 0 || len > n) return 0;
    for (std::size_t k = 1; k < len; ++k)
        if ((s[k] & 0xc0) != 0x80) return 0;
    if ((c == 0xe0 && s[1] < 0xa0) || (c == 0xed && s[1] >= 0xa0)) return 0; // overlong, surrogate
    if ((c == 0xf0 && s[1] < 0x90) || (c == 0xf4 && s[1] >= 0x90)) return 0; // overlong, too large
    return len;
}

bool IsHeldByte(const QString& s, qsizetype i) {
    const char16_t u = s[i].unicode();
    return u >= kHeldByte + 0x80 && u <= kHeldByte + 0xff && (i == 0 || !s[i - 1].isHighSurrogate());
}

} // namespace

QString PathFromNative(const std::string& bytes) {
    QString out;
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t run = 0; // start of the current run of valid characters
    for (std::size_t i = 0; i < n;) {
        const std::size_t len = CharLength(s + i, n - i);
        if (len > 0) {
            i += len;
            continue;
        }
        out += QString::fromUtf8(bytes.data() + run, static_cast<qsizetype>(i - run));
        out += QChar(static_cast<char16_t>(kHeldByte + s[i]));
        run = ++i;
    }
    out += QString::fromUtf8(bytes.data() + run, static_cast<qsizetype>(n - run));
    return out;
}

std::string PathToNative(const QString& path) {
    std::string out;
    qsizetype run = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!IsHeldByte(path, i)) continue;
        out += path.mid(run, i - run).toStdString();
        out += static_cast<char>(path[i].unicode() - kHeldByte);
        run = i + 1;
    }
    out += path.mid(run).toStdString();
    return out;
}

bool HoldsRawBytes(const QString& path) {
    for (qsizetype i = 0; i < path.size(); ++i)
        if (IsHeldByte(path, i)) return true;
    return false;
}

QString DisplayPath(const QString& path) {
    QString out = path;
    for (qsizetype i = 0; i < out.size(); ++i)
        if (IsHeldByte(out, i)) out[i] = QChar::ReplacementCharacter;
    return out;
}

QString AbsolutePath(const QString& path) {
    if (!HoldsRawBytes(path)) return QFileInfo(path).absoluteFilePath();
    if (path.startsWith(QLatin1Char('/'))) return QDir::cleanPath(path);
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return path;
    return QDir::cleanPath(PathFromNative(cwd) + QLatin1Char('/') + path);
}

QString CanonicalPath(const QString& path) {
    if (!HoldsRawBytes(path)) return QFileInfo(path).canonicalFilePath();
    char* resolved = ::realpath(PathToNative(path).c_str(), nullptr);
    if (!resolved) return QString();
    const QString out = PathFromNative(resolved);
    std::free(resolved);
    return out;
}

std::string RecentEntryText(const QString& path) {
    if (!HoldsRawBytes(path)) return path.toStdString();
    const std::string bytes = PathToNative(path);
    return kFileUrl + QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))
                          .toPercentEncoding("/")
                          .toStdString();
}

QString RecentEntryPath(const std::string& text) {
    const std::string prefix = kFileUrl;
    if (text.rfind(prefix, 0) != 0) return QString::fromStdString(text);
    return PathFromNative(
        QByteArray::fromPercentEncoding(QByteArray::fromStdString(text.substr(prefix.size()))).toStdString());
}

QString LocalFileOf(const QUrl& url) {
    if (!url.isLocalFile()) return QString();
    if (!url.host().isEmpty()) return url.toLocalFile();
    // The encoded path keeps bytes that are not UTF-8 as "%XX"; the decoded one loses them.
    return PathFromNative(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
}

QString ChosenPath(const QString& chosen, const QString& proposed) {
    if (!HoldsRawBytes(proposed)) return chosen;
    if (chosen == DisplayPath(proposed)) return proposed;
    const qsizetype slash = proposed.lastIndexOf(QLatin1Char('/'));
    const qsizetype chosenSlash = chosen.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0 && chosenSlash >= 0 && chosen.left(chosenSlash) == DisplayPath(proposed.left(slash)))
        return proposed.left(slash) + chosen.mid(chosenSlash);
    return chosen;
}
