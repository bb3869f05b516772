// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PreferencesStore.h"

#include <QHash>
#include <QSet>
#include <QSettings>

#include <memory>

class QTemporaryDir;

namespace nookary {

// PreferencesStore over an INI file read and written by QSettings.
//
// The file is created user-only (0600). A file that cannot be parsed cleanly is copied once
// to a timestamped backup beside it before anything is written, so that a damaged file is
// never silently replaced; whatever QSettings could still read from it stays in use.
//
// Before QSettings reads the file, its bytes are checked: only a regular file is read (a
// FIFO or a device is left alone), a value QSettings would deserialise with a deep nesting or
// a huge size is set aside, and, when `ownKeyPrefixes` are given and the keys without one of
// them take more than 1 MiB, the file is written back with the program's own keys only. Whatever is
// set aside is copied beside the file first.
//
// A store that cannot write at start (a folder that takes no new file, a read-only file, a
// damaged file that could not be copied, a file that is not a regular one) says so once and
// stays read-only for the run: changes live in memory only, so that a folder that becomes
// writable later never receives what was read from a file it could not keep a copy of.
// A write that fails later (a full disk) is said once and tried again at the next change
// and at quit.
class SettingsPreferencesStore final : public PreferencesStore {
public:
    explicit SettingsPreferencesStore(
        const QString &filePath, const QStringList &ownKeyPrefixes = {});
    // Writes what a failed write left pending.
    ~SettingsPreferencesStore() override;

    // $XDG_CONFIG_HOME/dorwen/Nookary.conf, or the platform's equivalent.
    static QString defaultFilePath();

    QString filePath() const override { return m_filePath; }
    // Where a damaged file was copied at start, or empty.
    QString backupPath() const { return m_backupPath; }
    // False when changes are kept in memory only, for the whole run.
    bool isWritable() const { return m_writable; }

    bool contains(const QString &key) const override;
    qint64 integer(const QString &key) const override;
    bool boolean(const QString &key) const override;
    double real(const QString &key) const override;
    std::optional<QString> string(const QString &key) const override;
    std::optional<QByteArray> data(const QString &key) const override;
    QByteArray storedForm(const QString &key) const override;

    void setInteger(const QString &key, qint64 value) override;
    void setBoolean(const QString &key, bool value) override;
    void setReal(const QString &key, double value) override;
    void setString(const QString &key, const QString &value) override;
    void setData(const QString &key, const QByteArray &value) override;
    QString keepCopy(const QString &label, const QByteArray &bytes) override;
    void holdWrites() override;
    quint64 reloadIfChangedElsewhere() override;
    void flush() override;
    void setWriteProblemHandler(std::function<void(WriteProblem)> handler) override;

    // Above this, keys that are not the program's are dropped from the file (after a copy).
    static constexpr qsizetype unusedKeysBound = 1024 * 1024;

    // What identifies one version of the file on disk: QSettings replaces it by rename.
    struct FileStamp {
        bool exists = false;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        bool operator==(const FileStamp &) const = default;
    };

private:
    // The contents QSettings may read: the file's, or, when they must not be read as they
    // are, a screened copy. Empty when the file is not there.
    std::optional<QByteArray> screenFile();
    bool keepDamagedCopy();
    bool canReplaceFile() const;
    // Leaves the file alone for the run; QSettings reads `contents` from a private copy
    // when given, so that it never opens the file itself.
    void hold(const QString &why, const std::optional<QByteArray> &contents = std::nullopt);
    void report(WriteProblem problem);
    void write(const QString &key, const QVariant &value);
    // Writes the changes waiting in m_unsaved; false when they still wait.
    bool sync();
    bool hasRoomToWrite() const;
    // Whether the file on disk holds every key QSettings holds, whole.
    bool fileIsWhole() const;
    bool holds(const QString &key, const QVariant &value) const;
    void captureTypedValues();
    FileStamp stamp() const;
    // What QSettings reads for `key`, or the bytes the file held where it misreads them.
    QVariant value(const QString &key) const;

    QString m_filePath;
    QStringList m_ownKeyPrefixes;
    QString m_backupPath;
    // Where QSettings reads from while the file itself must not be opened.
    std::unique_ptr<QTemporaryDir> m_heldCopy;
    std::unique_ptr<QSettings> m_settings;
    bool m_writable = true;
    bool m_writeFailing = false;
    FileStamp m_stamp;
    quint64 m_reloads = 0;
    std::function<void(WriteProblem)> m_problemHandler;
    int m_problemsSeen = 0; // bits of WriteProblem
    // What was set and is not written yet (for the run, while the store cannot write); read
    // before the file.
    QHash<QString, QVariant> m_unsaved;
    // Keys whose values QSettings reads as something other than text or bytes, as the file
    // spelled them when it was opened; a key leaves once written.
    QHash<QString, QByteArray> m_typedValueLines;
    // Binary data spelled with bytes outside ASCII, as the file held it when it was opened;
    // a key leaves once written.
    QHash<QString, QByteArray> m_binaryValues;
};

} // namespace nookary
