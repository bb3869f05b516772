// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PreferencesStore.h"

#include <QHash>
#include <QSettings>

#include <memory>

namespace nookary {

// PreferencesStore over an INI file read and written by QSettings.
//
// The file is created user-only (0600). A file that cannot be parsed cleanly is copied once
// to a timestamped backup beside it before anything is written, so that a damaged file is
// never silently replaced; whatever QSettings could still read from it stays in use.
//
// A store that cannot write at start (a folder that takes no new file, a read-only file, or
// a damaged file that could not be copied) says so once and stays read-only for the run:
// changes live in memory only, so that a folder that becomes writable later never receives
// what was read from a file it could not keep a copy of.
class SettingsPreferencesStore final : public PreferencesStore {
public:
    explicit SettingsPreferencesStore(const QString &filePath);

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

private:
    bool prepareFile();
    bool keepDamagedCopy();
    bool canReplaceFile() const;
    void reportReadOnly();
    void write(const QString &key, const QVariant &value);
    bool holds(const QString &key, const QVariant &value) const;
    void captureTypedValues();
    // What QSettings reads for `key`, or the bytes the file held where it misreads them.
    QVariant value(const QString &key) const;

    QString m_filePath;
    QString m_backupPath;
    std::unique_ptr<QSettings> m_settings;
    bool m_reportedWriteFailure = false;
    bool m_writable = true;
    // What was set while the store cannot write; read before the file.
    QHash<QString, QVariant> m_unsaved;
    // Keys whose values QSettings reads as something other than text or bytes, as the file
    // spelled them when it was opened; a key leaves once written.
    QHash<QString, QByteArray> m_typedValueLines;
    // Binary data spelled with bytes outside ASCII, as the file held it when it was opened;
    // a key leaves once written.
    QHash<QString, QByteArray> m_binaryValues;
};

} // namespace nookary
