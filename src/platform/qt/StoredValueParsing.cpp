// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoredValueParsing.h"

#include "platform/qt/SettingsFileText.h"

#include <QLocale>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <limits>

namespace nookary::storedvalue {

namespace {

qsizetype skipSpaces(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i].isSpace())
        ++i;
    return i;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

qint64 integerFromText(QStringView s)
{
    qsizetype i = skipSpaces(s);
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        negative = s[i++] == u'-';
    qint64 value = 0;
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    for (; i < s.size() && s[i].isDigit() && s[i].unicode() < 128; ++i) {
        const int digit = s[i].unicode() - u'0';
        if (value > (max - digit) / 10)
            return negative ? std::numeric_limits<qint64>::min() : max;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

bool booleanFromText(QStringView s)
{
    qsizetype i = skipSpaces(s);
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    while (i < s.size() && s[i] == u'0')
        ++i;
    if (i >= s.size())
        return false;
    const char16_t c = s[i].unicode();
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

double realFromText(QStringView s)
{
    const qsizetype start = skipSpaces(s);
    qsizetype i = start;
    auto digits = [&] {
        const qsizetype from = i;
        while (i < s.size() && s[i].unicode() >= u'0' && s[i].unicode() <= u'9')
            ++i;
        return i > from;
    };
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    bool any = digits();
    if (i < s.size() && s[i] == u'.') {
        ++i;
        any = digits() || any;
    }
    if (!any)
        return 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        const qsizetype mark = i++;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        if (!digits())
            i = mark;
    }
    const double value = QLocale::c().toDouble(s.mid(start, i - start));
    return std::isfinite(value) ? value : 0;
}

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

qint64 saturatedInteger(double d)
{
    if (!std::isfinite(d))
        return 0;
    if (d >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (d <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(d);
}

QHash<QString, QByteArray> valueLines(const QByteArray &contents, const QSet<QString> &wanted)
{
    QHash<QString, QByteArray> found;
    const SettingsFileText text(contents);
    for (const SettingsFileText::Entry &entry : text.entries()) {
        if (wanted.contains(entry.key))
            found.insert(entry.key, entry.value);
    }
    return found;
}

bool hasNonAscii(const QByteArray &bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
}

std::optional<QByteArray> bytesAsWritten(const QByteArray &line)
{
    QByteArray escaped;
    bool afterEscape = false;
    for (const char c : line) {
        if ((c & 0x80) != 0 || (afterEscape && isHexDigit(c))) {
            // A hex digit right after an escape would be read as part of it.
            escaped += "\\x" + QByteArray::number(static_cast<unsigned char>(c), 16);
            afterEscape = true;
        } else {
            escaped += c;
            afterEscape = false;
        }
    }
    QTemporaryFile file;
    if (!file.open() || file.write("[General]\nvalue=" + escaped + '\n') < 0 || !file.flush())
        return std::nullopt;
    const QVariant value
        = QSettings(file.fileName(), QSettings::IniFormat).value(QStringLiteral("value"));
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

qint64 writtenSize(const QVariant &value)
{
    qint64 size = 0;
    if (value.typeId() == QMetaType::QByteArray) {
        for (const char c : value.toByteArray())
            size += (c & 0x80) != 0 || c < 0x20 ? 4 : 1;
    } else {
        for (const QChar c : value.toString())
            size += c.unicode() >= 0x80 || c.unicode() < 0x20 ? 6 : 1;
    }
    return size;
}

bool looksDamaged(const QByteArray &bytes)
{
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r')
            return true;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    Q_UNUSED(text);
    return decoder.hasError();
}

} // namespace nookary::storedvalue
