// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsPreferencesStore.h"

#include "platform/qt/SettingsFileText.h"
#include "platform/qt/StaleLockFile.h"
#include "platform/qt/StoredValueParsing.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>
#include <limits>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSettings, "nookary.settings")

namespace nookary {

using namespace storedvalue;

namespace {

// QSettings writes pending changes by itself at the next turn of the event loop, and again
// after a failed write: here it writes only when the store says, after checking that the
// disk has room.
class QuietSettings final : public QSettings {
public:
    using QSettings::QSettings;

protected:
    bool event(QEvent *event) override
    {
        return event->type() == QEvent::UpdateRequest || QSettings::event(event);
    }
};

constexpr auto kUserOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr auto kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
    | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

} // namespace

SettingsPreferencesStore::SettingsPreferencesStore(
    const QString &filePath, const QStringList &ownKeyPrefixes)
    : m_filePath(filePath)
    , m_ownKeyPrefixes(ownKeyPrefixes)
{
    const std::optional<QByteArray> contents = screenFile();
    const QString readPath
        = m_heldCopy ? m_heldCopy->filePath(QStringLiteral("Nookary.conf")) : m_filePath;
    m_settings = std::make_unique<QuietSettings>(readPath, QSettings::IniFormat);
    if (m_writable) {
        // QSettings rewrites only what it managed to parse at the next write; keep the
        // original, and write nothing over it when it cannot be kept.
        const bool damaged = (contents && looksDamaged(*contents))
            || m_settings->status() == QSettings::FormatError;
        if (damaged && m_backupPath.isEmpty() && !keepDamagedCopy())
            hold(QStringLiteral("it is damaged and could not be copied"));
        else if (!canReplaceFile())
            hold(QStringLiteral("its folder takes no new file or the file is read-only"));
    }
    captureTypedValues();
    m_stamp = stamp();
}

SettingsPreferencesStore::~SettingsPreferencesStore()
{
    flush();
}

std::optional<QByteArray> SettingsPreferencesStore::screenFile()
{
    const QFileInfo info(m_filePath);
    QDir dir = info.absoluteDir();
    if (!dir.exists()) {
        if (dir.mkpath(QStringLiteral(".")))
            QFile::setPermissions(dir.absolutePath(), kUserOnly | QFileDevice::ExeOwner);
    }
    const RegularFileRead read = readRegularFile(m_filePath);
    switch (read.status) {
    case RegularFileRead::Status::absent: {
        // Created before QSettings writes it: QSaveFile keeps an existing file's mode.
        QFile file(m_filePath);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kUserOnly))
            file.close();
        return std::nullopt;
    }
    case RegularFileRead::Status::notRegular:
        hold(
            QStringLiteral("it is not a regular file; Nookary runs on its defaults"), QByteArray());
        return std::nullopt;
    case RegularFileRead::Status::unreadable:
        hold(QStringLiteral("it cannot be read; Nookary runs on its defaults"), QByteArray());
        return std::nullopt;
    case RegularFileRead::Status::read:
        break;
    }
    // Others lose their access; the owner keeps exactly theirs, so a file its owner made
    // read-only stays read-only.
    const auto ownerBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    const auto mode = QFile::permissions(m_filePath);
    if ((mode & kOthers) != 0)
        QFile::setPermissions(m_filePath, mode & ownerBits);

    const SettingsFileText text(read.contents);
    QSet<qsizetype> unsafe;
    QSet<qsizetype> inUse;
    qsizetype usedBytes = 0;
    for (qsizetype n = 0; n < text.entries().size(); ++n) {
        const SettingsFileText::Entry &entry = text.entries()[n];
        if (SettingsFileText::isUnsafeValue(entry.value)) {
            unsafe.insert(n);
        } else if (std::any_of(m_ownKeyPrefixes.begin(), m_ownKeyPrefixes.end(),
                       [&](const QString &prefix) { return entry.key.startsWith(prefix); })) {
            inUse.insert(n);
            usedBytes += entry.end - entry.begin;
        }
    }
    const bool trim
        = !m_ownKeyPrefixes.isEmpty() && read.contents.size() - usedBytes > unusedKeysBound;
    if (unsafe.isEmpty() && !trim)
        return read.contents;

    const QByteArray screened = trim ? text.onlyGeneral(inUse) : text.without(unsafe);
    const QString why = trim
        ? QStringLiteral("keys that are not Nookary's take %1 bytes of it")
              .arg(read.contents.size() - usedBytes)
        : QStringLiteral("%1 value(s) in it could not be read safely").arg(unsafe.size());
    const QString backup
        = keepCopy(trim ? QStringLiteral("large") : QStringLiteral("damaged"), read.contents);
    if (backup.isEmpty()) {
        hold(why + QStringLiteral(" and it could not be copied"), screened);
        return screened;
    }
    m_backupPath = backup;
    QSaveFile file(m_filePath);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(screened) != screened.size()
        || !file.commit()) {
        hold(why + QStringLiteral(" and it could not be rewritten"), screened);
        return screened;
    }
    QFile::setPermissions(m_filePath, kUserOnly);
    qCWarning(lcSettings).noquote()
        << "The settings file" << m_filePath << "was rewritten without what could not be used:"
        << why + QStringLiteral("; the file as it was is kept at") << backup;
    return screened;
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

void SettingsPreferencesStore::hold(const QString &why, const std::optional<QByteArray> &contents)
{
    if (contents && !m_heldCopy) {
        m_heldCopy = std::make_unique<QTemporaryDir>();
        QFile copy(m_heldCopy->filePath(QStringLiteral("Nookary.conf")));
        if (copy.open(QIODevice::WriteOnly, kUserOnly))
            copy.write(*contents);
    }
    if (!m_writable)
        return;
    m_writable = false;
    qCWarning(lcSettings).noquote()
        << "Cannot write the settings file" << m_filePath
        << "(" + why + ") - it is left as it is and changes are kept only until Nookary quits.";
    report(WriteProblem::heldInMemory);
}

void SettingsPreferencesStore::holdWrites()
{
    hold(QStringLiteral("something in it could not be copied before it was replaced"));
}

void SettingsPreferencesStore::report(WriteProblem problem)
{
    const int bit = 1 << int(problem);
    if ((m_problemsSeen & bit) != 0)
        return;
    m_problemsSeen |= bit;
    if (m_problemHandler)
        m_problemHandler(problem);
}

void SettingsPreferencesStore::setWriteProblemHandler(std::function<void(WriteProblem)> handler)
{
    m_problemHandler = std::move(handler);
    for (const WriteProblem problem : { WriteProblem::heldInMemory, WriteProblem::writeFailed }) {
        if ((m_problemsSeen & (1 << int(problem))) != 0 && m_problemHandler)
            m_problemHandler(problem);
    }
}

void SettingsPreferencesStore::captureTypedValues()
{
    // The first write rewrites the whole file in QSettings' own spelling, so the spelling of
    // what it reads as lists or serialised types is taken now, while it is still there.
    // Binary data is taken too: QSettings misreads bytes outside ASCII in it.
    m_typedValueLines.clear();
    m_binaryValues.clear();
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
    const RegularFileRead read = readRegularFile(m_settings->fileName());
    if (read.status != RegularFileRead::Status::read)
        return;
    const QHash<QString, QByteArray> lines = valueLines(read.contents, typed + binary);
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

bool SettingsPreferencesStore::keepDamagedCopy()
{
    const RegularFileRead read = readRegularFile(m_filePath);
    const QString backup = read.status == RegularFileRead::Status::read
        ? keepCopy(QStringLiteral("damaged"), read.contents)
        : QString();
    if (backup.isEmpty())
        return false;
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
    // A link to nowhere takes the name too: the copy is never written through it.
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = stem + QStringLiteral("-%1").arg(n);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kUserOnly))
        return {};
    // Safely written means on the disk: a full disk may refuse only at the sync.
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
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
    // QSettings reads the file again before it writes when another program changed it: it
    // must be screened first, as at start.
    reloadIfChangedElsewhere();
    // Changes wait here until a write takes them: QSettings would otherwise write them on
    // its own at the next turn of the event loop, also onto a full disk.
    m_unsaved.insert(key, value);
    m_typedValueLines.remove(key);
    m_binaryValues.remove(key);
    if (m_writable)
        sync();
}

bool SettingsPreferencesStore::hasRoomToWrite() const
{
    // QSettings commits a file cut short by a full disk as if it were whole, replacing the
    // good one: the whole new file must fit beside the old one before it is written.
    qint64 needed = QFileInfo(m_filePath).size() + 16 * 1024;
    for (const QVariant &value : m_unsaved)
        needed += writtenSize(value);
    struct statvfs disk { };
    if (::statvfs(QFile::encodeName(QFileInfo(m_filePath).absolutePath()).constData(), &disk) != 0)
        return true; // nothing to go by; the write itself will tell
    return qint64(disk.f_bavail) * qint64(disk.f_frsize) >= needed;
}

bool SettingsPreferencesStore::fileIsWhole() const
{
    // QSettings writes every key once, one line each, each line ending in a line break.
    const RegularFileRead read = readRegularFile(m_filePath);
    if (read.status != RegularFileRead::Status::read)
        return false;
    const qsizetype keys = m_settings->allKeys().size();
    if (keys == 0)
        return true;
    return read.contents.endsWith('\n') && SettingsFileText(read.contents).entries().size() == keys;
}

bool SettingsPreferencesStore::sync()
{
    if (m_unsaved.isEmpty())
        return true;
    removeStaleLockFile(m_filePath + QStringLiteral(".lock"));
    const FileStamp before = stamp();
    bool written = false;
    if (hasRoomToWrite()) {
        for (auto change = m_unsaved.constBegin(); change != m_unsaved.constEnd(); ++change)
            m_settings->setValue(change.key(), *change);
        // The write rewrites the whole file from what QSettings read; give it the right bytes.
        for (auto bytes = m_binaryValues.constBegin(); bytes != m_binaryValues.constEnd(); ++bytes)
            m_settings->setValue(bytes.key(), *bytes);
        // QSettings commits a file cut short by a full disk as if it were whole: the file
        // as it was stays reachable by a second name until the new one proved whole.
        const QByteArray path = QFile::encodeName(m_filePath);
        const QByteArray previous = path + ".previous-" + QByteArray::number(::getpid());
        ::unlink(previous.constData());
        const bool kept = before.exists && ::link(path.constData(), previous.constData()) == 0;
        m_settings->sync();
        // QSettings' status stays an error once it was one: a replaced, whole file tells
        // success.
        const FileStamp after = stamp();
        written = after.exists && after != before && fileIsWhole();
        // The changes stay in m_unsaved: the next write reads the file as it was again and
        // writes them all.
        if (!written && after != before && kept)
            ::rename(previous.constData(), path.constData());
        ::unlink(previous.constData());
        m_stamp = stamp();
    }
    if (!written) {
        // Everything stays in m_unsaved and goes again with the next write.
        if (!m_writeFailing)
            qCWarning(lcSettings).noquote()
                << "Cannot write the settings file" << m_filePath
                << "(is the disk full?) - changes are kept and written at the next change "
                   "and when Nookary quits.";
        m_writeFailing = true;
        report(WriteProblem::writeFailed);
        return false;
    }
    if (m_writeFailing)
        qCInfo(lcSettings).noquote() << "The settings file" << m_filePath << "was written again.";
    m_writeFailing = false;
    m_unsaved.clear();
    m_binaryValues.clear();
    QFile::setPermissions(m_filePath, kUserOnly);
    return true;
}

void SettingsPreferencesStore::flush()
{
    if (m_writable)
        sync();
}

SettingsPreferencesStore::FileStamp SettingsPreferencesStore::stamp() const
{
    struct stat info { };
    if (::stat(QFile::encodeName(m_filePath).constData(), &info) != 0)
        return {};
    return { true, quint64(info.st_ino), qint64(info.st_size),
        qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec };
}

quint64 SettingsPreferencesStore::reloadIfChangedElsewhere()
{
    if (!m_writable)
        return m_reloads;
    const FileStamp now = stamp();
    if (now == m_stamp)
        return m_reloads;
    // Whoever wrote it, it is screened as at start before QSettings reads it.
    const RegularFileRead read = readRegularFile(m_filePath);
    if (read.status != RegularFileRead::Status::read) {
        hold(QStringLiteral("another program replaced it with something that is not a regular "
                            "file"));
        return m_reloads;
    }
    const SettingsFileText text(read.contents);
    for (const SettingsFileText::Entry &entry : text.entries()) {
        if (SettingsFileText::isUnsafeValue(entry.value)) {
            hold(QStringLiteral("another program wrote a value to it that cannot be read safely"));
            return m_reloads;
        }
    }
    // A write that failed left its changes in QSettings too: they go only by sync(), which
    // checks for room first.
    if (m_writeFailing)
        sync();
    else
        m_settings->sync();
    captureTypedValues();
    m_stamp = stamp();
    return ++m_reloads;
}

} // namespace nookary
