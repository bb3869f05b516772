// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsPreferencesStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QSet>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <limits>

Q_LOGGING_CATEGORY(lcSettings, "nookary.settings")

namespace nookary {

namespace {

constexpr auto kUserOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr auto kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
    | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

qsizetype skipSpaces(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i].isSpace())
        ++i;
    return i;
}

// Like NSString.integerValue: leading spaces, an optional sign, then as many digits as there
// are; anything else gives 0. Saturates instead of overflowing.
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

// Like NSString.boolValue: true on a leading Y, y, T, t or a non-zero digit.
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

// Like NSString.doubleValue: the longest leading decimal number, else 0.
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

// Text that is not UTF-8, or that holds control characters, was not written by QSettings.
// The text after "key=" on each line of the general section, with QSettings' backslash line
// continuations joined, for the keys in `wanted`.
QHash<QString, QByteArray> valueLines(const QByteArray &contents, const QSet<QString> &wanted)
{
    QHash<QString, QByteArray> found;
    bool general = true;
    QByteArray line;
    for (QByteArray part : contents.split('\n')) {
        if (part.endsWith('\r'))
            part.chop(1);
        if (part.endsWith('\\')) {
            line += part.chopped(1);
            continue;
        }
        line += part;
        const QByteArray trimmed = line.trimmed();
        line.clear();
        if (trimmed.startsWith('[')) {
            general = trimmed == "[General]";
            continue;
        }
        const qsizetype equals = trimmed.indexOf('=');
        if (!general || equals <= 0)
            continue;
        const QString key = QString::fromUtf8(trimmed.left(equals).trimmed());
        // QSettings keeps the last of repeated lines, so the last is the value in use.
        if (wanted.contains(key))
            found.insert(key, trimmed.mid(equals + 1).trimmed());
    }
    return found;
}

bool hasNonAscii(const QByteArray &bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The bytes of a "@ByteArray(...)" value whose line holds bytes outside ASCII, which
// QSettings itself writes as \x escapes. It reads such bytes as UTF-8 text and then keeps
// only the Latin-1 part of that text, so the line is spelled with escapes throughout and
// read back by QSettings' own parser.
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

} // namespace

SettingsPreferencesStore::SettingsPreferencesStore(const QString &filePath)
    : m_filePath(filePath)
{
    const bool damaged = prepareFile();
    m_settings = std::make_unique<QSettings>(m_filePath, QSettings::IniFormat);
    // QSettings rewrites only what it managed to parse at the next write; keep the original,
    // and write nothing over it when it cannot be kept.
    const bool damageKept
        = !(damaged || m_settings->status() == QSettings::FormatError) || keepDamagedCopy();
    if (!damageKept || !canReplaceFile())
        reportReadOnly();
    captureTypedValues();
}

bool SettingsPreferencesStore::canReplaceFile() const
{
    // QSettings writes a new file beside the old one and renames it over it, and refuses to
    // replace a file that is not writable.
    const QFileInfo info(m_filePath);
    if (info.exists() && !info.isWritable())
        return false;
    QTemporaryFile probe(info.absolutePath() + QStringLiteral("/.Nookary-probe-XXXXXX"));
    return probe.open();
}

void SettingsPreferencesStore::reportReadOnly()
{
    m_writable = false;
    m_reportedWriteFailure = true;
    qCWarning(lcSettings).noquote() << "Cannot write the settings file" << m_filePath
                                    << "- changes are kept only until Nookary quits.";
}

void SettingsPreferencesStore::captureTypedValues()
{
    // The first write rewrites the whole file in QSettings' own spelling, so the spelling of
    // what it reads as lists or serialised types is taken now, while it is still there.
    // Binary data is taken too: QSettings misreads bytes outside ASCII in it.
    QSet<QString> typed;
    QSet<QString> binary;
    for (const QString &key : m_settings->allKeys()) {
        const int type = m_settings->value(key).typeId();
        if (type == QMetaType::QByteArray)
            binary.insert(key);
        else if (type != QMetaType::QString)
            typed.insert(key);
    }
    if (typed.isEmpty() && binary.isEmpty())
        return;
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QHash<QString, QByteArray> lines = valueLines(file.readAll(), typed + binary);
    for (auto line = lines.constBegin(); line != lines.constEnd(); ++line) {
        if (typed.contains(line.key())) {
            m_typedValueLines.insert(line.key(), line.value());
        } else if (hasNonAscii(line.value())) {
            if (const auto bytes = bytesAsWritten(line.value()))
                m_binaryValues.insert(line.key(), *bytes);
        }
    }
}

QVariant SettingsPreferencesStore::value(const QString &key) const
{
    if (const auto unsaved = m_unsaved.constFind(key); unsaved != m_unsaved.constEnd())
        return *unsaved;
    if (const auto bytes = m_binaryValues.constFind(key); bytes != m_binaryValues.constEnd())
        return *bytes;
    return m_settings->value(key);
}

QString SettingsPreferencesStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/dorwen/Nookary.conf");
}

bool SettingsPreferencesStore::prepareFile()
{
    const QFileInfo info(m_filePath);
    QDir dir = info.absoluteDir();
    if (!dir.exists()) {
        if (dir.mkpath(QStringLiteral(".")))
            QFile::setPermissions(dir.absolutePath(), kUserOnly | QFileDevice::ExeOwner);
    }
    QFile file(m_filePath);
    if (!file.exists()) {
        // Created before QSettings writes it: QSaveFile keeps an existing file's mode.
        if (file.open(QIODevice::WriteOnly))
            file.close();
        file.setPermissions(kUserOnly);
        return false;
    }
    // Others lose their access; the owner keeps exactly theirs, so a file its owner made
    // read-only stays read-only.
    const auto ownerBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    const auto mode = file.permissions();
    if ((mode & kOthers) != 0)
        file.setPermissions(mode & ownerBits);
    return file.open(QIODevice::ReadOnly) && looksDamaged(file.readAll());
}

bool SettingsPreferencesStore::keepDamagedCopy()
{
    QFile file(m_filePath);
    const QString backup = file.open(QIODevice::ReadOnly)
        ? keepCopy(QStringLiteral("damaged"), file.readAll())
        : QString();
    if (backup.isEmpty()) {
        qCWarning(lcSettings).noquote()
            << "The settings file" << m_filePath
            << "is damaged and could not be copied; it is left as it is";
        return false;
    }
    m_backupPath = backup;
    qCWarning(lcSettings).noquote()
        << "The settings file" << m_filePath << "is damaged; a copy of it was kept at" << backup;
    return true;
}

QString SettingsPreferencesStore::keepCopy(const QString &label, const QByteArray &bytes)
{
    const QString stem = m_filePath + u'.' + label + u'-'
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = stem;
    for (int n = 2; QFile::exists(path); ++n)
        path = stem + QStringLiteral("-%1").arg(n);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kUserOnly))
        return {};
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.remove();
        return {};
    }
    return path;
}

bool SettingsPreferencesStore::contains(const QString &key) const
{
    return m_unsaved.contains(key) || m_settings->contains(key);
}

qint64 SettingsPreferencesStore::integer(const QString &key) const
{
    const QVariant v = value(key);
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QString:
        return integerFromText(v.toString());
    case QMetaType::Double:
    case QMetaType::Float:
        return saturatedInteger(v.toDouble());
    case QMetaType::ULongLong:
        return v.toULongLong() > quint64(std::numeric_limits<qint64>::max())
            ? std::numeric_limits<qint64>::max()
            : v.toLongLong();
    default:
        return isNumber(v) ? v.toLongLong() : 0;
    }
}

bool SettingsPreferencesStore::boolean(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString)
        return booleanFromText(v.toString());
    return isNumber(v) && v.toDouble() != 0;
}

double SettingsPreferencesStore::real(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::QString)
        return realFromText(v.toString());
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1 : 0;
    if (!isNumber(v))
        return 0;
    const double d = v.toDouble();
    return std::isfinite(d) ? d : 0;
}

std::optional<QString> SettingsPreferencesStore::string(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    if (isNumber(v))
        return v.toString();
    return std::nullopt;
}

std::optional<QByteArray> SettingsPreferencesStore::data(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return std::nullopt;
}

QByteArray SettingsPreferencesStore::storedForm(const QString &key) const
{
    if (!contains(key))
        return {};
    const QVariant v = this->value(key);
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    if (v.typeId() == QMetaType::QString)
        return v.toString().toUtf8();
    // A list (unquoted commas) or a serialised type: QSettings' reading of it is lossy, so
    // the value is taken as the file spelled it when it was opened.
    if (const auto raw = m_typedValueLines.constFind(key); raw != m_typedValueLines.constEnd())
        return *raw;
    return v.canConvert<QStringList>() ? v.toStringList().join(QStringLiteral(", ")).toUtf8()
                                       : v.toString().toUtf8();
}

void SettingsPreferencesStore::setInteger(const QString &key, qint64 value)
{
    write(key, QVariant::fromValue<qlonglong>(value));
}

void SettingsPreferencesStore::setBoolean(const QString &key, bool value)
{
    write(key, value);
}

void SettingsPreferencesStore::setReal(const QString &key, double value)
{
    write(key, value);
}

void SettingsPreferencesStore::setString(const QString &key, const QString &value)
{
    write(key, value);
}

void SettingsPreferencesStore::setData(const QString &key, const QByteArray &value)
{
    write(key, value);
}

bool SettingsPreferencesStore::holds(const QString &key, const QVariant &value) const
{
    if (!contains(key) || m_binaryValues.contains(key))
        return false;
    const QVariant stored = this->value(key);
    if (value.typeId() == QMetaType::QByteArray || stored.typeId() == QMetaType::QByteArray)
        return value.typeId() == stored.typeId() && value.toByteArray() == stored.toByteArray();
    if (stored.typeId() == QMetaType::QStringList)
        return false;
    // The INI file keeps every scalar as text.
    return stored.toString() == value.toString();
}

void SettingsPreferencesStore::write(const QString &key, const QVariant &value)
{
    // Rewriting the same value would cost a file write and sync for nothing, and the model
    // writes its settings back at every start.
    if (holds(key, value))
        return;
    if (!m_writable) {
        m_unsaved.insert(key, value);
        m_typedValueLines.remove(key);
        m_binaryValues.remove(key);
        return;
    }
    m_settings->setValue(key, value);
    m_typedValueLines.remove(key);
    m_binaryValues.remove(key);
    // The write rewrites the whole file from what QSettings read; give it the right bytes.
    for (auto bytes = m_binaryValues.constBegin(); bytes != m_binaryValues.constEnd(); ++bytes)
        m_settings->setValue(bytes.key(), *bytes);
    m_binaryValues.clear();
    m_settings->sync();
    if (m_settings->status() == QSettings::AccessError) {
        if (!m_reportedWriteFailure) {
            m_reportedWriteFailure = true;
            qCWarning(lcSettings).noquote() << "Cannot write the settings file" << m_filePath
                                            << "- changes are kept only until Nookary quits.";
        }
        return;
    }
    QFile::setPermissions(m_filePath, kUserOnly);
}

} // namespace nookary
