// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsFileText.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryFile>
#include <QVariant>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nookary {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

QByteArray trimmed(QByteArrayView bytes)
{
    return bytes.trimmed().toByteArray();
}

// The value's text with QSettings' line continuations (a backslash before a line break)
// taken out; other escapes stay for QSettings to read.
QByteArray joinContinuations(QByteArrayView raw)
{
    QByteArray out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\\' && i + 1 < raw.size()) {
            const char next = raw[i + 1];
            if (next == '\n' || next == '\r') {
                ++i;
                if (i + 1 < raw.size() && (raw[i + 1] == '\n' || raw[i + 1] == '\r')
                    && raw[i + 1] != next)
                    ++i;
                continue;
            }
            out += c;
            out += next;
            ++i;
            continue;
        }
        out += c;
    }
    return out;
}

// Nested QVariant lists, maps and hashes, and values named by type, each begin with a
// 32-bit type id in the Qt 4 stream QSettings reads: counting those ids bounds the depth.
constexpr int kMaxVariantHeaders = 256;
constexpr qsizetype kMaxVariantBytes = 1024 * 1024;

int variantHeaders(const QByteArray &bytes)
{
    static constexpr std::array<unsigned char, 4> kContainerTypes { 8, 9, 28, 127 };
    int count = 0;
    for (qsizetype i = 0; i + 3 < bytes.size(); ++i) {
        if (bytes[i] != 0 || bytes[i + 1] != 0 || bytes[i + 2] != 0)
            continue;
        const auto type = static_cast<unsigned char>(bytes[i + 3]);
        for (const unsigned char container : kContainerTypes)
            count += type == container ? 1 : 0;
    }
    return count;
}

void collectBytes(const QVariant &value, QList<QByteArray> &out)
{
    if (value.typeId() == QMetaType::QByteArray) {
        out.append(value.toByteArray());
    } else if (value.typeId() == QMetaType::QVariantList) {
        for (const QVariant &element : value.toList())
            collectBytes(element, out);
    }
}

} // namespace

SettingsFileText::SettingsFileText(QByteArray contents)
    : m_contents(std::move(contents))
{
    // The same splitting as QSettings' INI reader: a backslash escapes the next character (a
    // line break too), double quotes span lines, ";" starts a comment at the start of a line
    // and ends the line elsewhere, "[...]" names a section.
    const QByteArray &data = m_contents;
    const qsizetype size = data.size();
    QString section;
    qsizetype i = 0;
    while (i < size) {
        while (i < size && isSpace(data[i]))
            ++i;
        if (i >= size)
            break;
        const qsizetype lineStart = i;
        if (data[i] == ';') {
            while (i < size && data[i] != '\n' && data[i] != '\r')
                ++i;
            continue;
        }
        qsizetype equals = -1;
        bool inQuotes = false;
        while (i < size) {
            const char c = data[i];
            if (c == '=' && !inQuotes && equals < 0) {
                equals = i;
            } else if ((c == '\n' || c == '\r') && !inQuotes) {
                break;
            } else if (c == '\\' && i + 1 < size) {
                ++i;
                if (i + 1 < size
                    && ((data[i] == '\n' && data[i + 1] == '\r')
                        || (data[i] == '\r' && data[i + 1] == '\n')))
                    ++i;
            } else if (c == '"') {
                inQuotes = !inQuotes;
            } else if (c == ';' && !inQuotes) {
                break;
            }
            ++i;
        }
        const qsizetype lineEnd = i;
        // The entry takes its line break with it.
        if (i < size && data[i] == '\r')
            ++i;
        if (i < size && data[i] == '\n')
            ++i;
        if (data[lineStart] == '[') {
            const qsizetype close = data.indexOf(']', lineStart);
            const QByteArray name = trimmed(QByteArrayView(data).sliced(lineStart + 1,
                (close > lineStart && close < lineEnd ? close : lineEnd) - lineStart - 1));
            section = name == "General" ? QString() : QString::fromUtf8(name);
            continue;
        }
        if (equals < 0)
            continue;
        const QString key = QString::fromUtf8(
            trimmed(QByteArrayView(data).sliced(lineStart, equals - lineStart)));
        m_entries.append(Entry { section.isEmpty() ? key : section + u'/' + key, lineStart, i,
            trimmed(joinContinuations(
                QByteArrayView(data).sliced(equals + 1, lineEnd - equals - 1))) });
    }
}

QByteArray SettingsFileText::without(const QSet<qsizetype> &indexes) const
{
    QByteArray out;
    out.reserve(m_contents.size());
    qsizetype from = 0;
    for (qsizetype n = 0; n < m_entries.size(); ++n) {
        if (!indexes.contains(n))
            continue;
        out += QByteArrayView(m_contents).sliced(from, m_entries[n].begin - from);
        from = m_entries[n].end;
    }
    out += QByteArrayView(m_contents).sliced(from);
    return out;
}

QByteArray SettingsFileText::onlyGeneral(const QSet<qsizetype> &indexes) const
{
    QByteArray out = "[General]\n";
    for (qsizetype n = 0; n < m_entries.size(); ++n) {
        if (!indexes.contains(n))
            continue;
        const Entry &entry = m_entries[n];
        out += QByteArrayView(m_contents).sliced(entry.begin, entry.end - entry.begin);
        if (!out.endsWith('\n'))
            out += '\n';
    }
    return out;
}

bool SettingsFileText::isUnsafeValue(const QByteArray &value)
{
    static const QByteArray variant = QByteArrayLiteral("@Variant(");
    if (!value.contains(variant))
        return false;
    if (value.size() > kMaxVariantBytes)
        return true;
    // The bytes, read by QSettings itself, but as bytes: "@ByteArray(" takes them as they are.
    QByteArray asBytes = value;
    asBytes.replace(variant, QByteArrayLiteral("@ByteArray("));
    QTemporaryFile file;
    if (!file.open() || file.write("[General]\nvalue=" + asBytes + '\n') < 0 || !file.flush())
        return true; // cannot tell: not worth the risk
    QList<QByteArray> bytes;
    collectBytes(
        QSettings(file.fileName(), QSettings::IniFormat).value(QStringLiteral("value")), bytes);
    for (const QByteArray &payload : bytes) {
        if (variantHeaders(payload) > kMaxVariantHeaders)
            return true;
    }
    return false;
}

RegularFileRead readRegularFile(const QString &path)
{
    RegularFileRead result;
    // Not blocking: opening a FIFO for reading would otherwise wait for a writer.
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.status = errno == ENOENT || errno == ENOTDIR ? RegularFileRead::Status::absent
                                                            : RegularFileRead::Status::unreadable;
        return result;
    }
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        result.status = RegularFileRead::Status::notRegular;
        return result;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        result.status = RegularFileRead::Status::unreadable;
        return result;
    }
    result.contents = file.readAll();
    result.status = file.error() == QFileDevice::NoError ? RegularFileRead::Status::read
                                                         : RegularFileRead::Status::unreadable;
    return result;
}

} // namespace nookary
