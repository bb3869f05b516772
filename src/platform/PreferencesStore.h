// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace nookary {

// A flat, per-user key-value store of typed values.
//
// Reads behave like the macOS defaults getters, so that stored files mean the same on every
// platform: presence is per key (`contains`), and each typed getter converts what it finds
// as far as it sensibly can. An integer read of the string "25" gives 25, an integer read of
// something that is not a number gives 0, a string read of binary data gives nothing, a data
// read of a string gives nothing.
//
// Every write goes through to disk at once. A store that cannot write keeps the value in
// memory, reports the failure once in the log and to the write-problem handler, and tries
// again at the next write and at `flush()`. Main thread only.
class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;

    enum class WriteProblem {
        // The file is left as it is for the rest of the run; changes live in memory only.
        heldInMemory,
        // A write failed (a full disk, say); it is tried again at the next change.
        writeFailed,
    };
    // Told once per kind of problem, the first time it happens, or at once when it already
    // has; for showing the user.
    virtual void setWriteProblemHandler(std::function<void(WriteProblem)> handler) = 0;

    virtual bool contains(const QString &key) const = 0;

    // 0 when absent or not convertible; saturates at the 64-bit bounds.
    virtual qint64 integer(const QString &key) const = 0;
    // false when absent or not convertible.
    virtual bool boolean(const QString &key) const = 0;
    // 0 when absent, not convertible or not finite.
    virtual double real(const QString &key) const = 0;
    // Nothing when absent or not representable as a string (binary data, lists).
    virtual std::optional<QString> string(const QString &key) const = 0;
    // Nothing when absent or not binary data.
    virtual std::optional<QByteArray> data(const QString &key) const = 0;

    virtual void setInteger(const QString &key, qint64 value) = 0;
    virtual void setBoolean(const QString &key, bool value) = 0;
    virtual void setReal(const QString &key, double value) = 0;
    virtual void setString(const QString &key, const QString &value) = 0;
    virtual void setData(const QString &key, const QByteArray &value) = 0;

    // What `key` holds as the store keeps it: the bytes of binary data, the text of a string,
    // and any other value as the store spells it. Empty when absent. For keeping a copy of
    // a value of any type before it is replaced.
    virtual QByteArray storedForm(const QString &key) const = 0;

    // Writes `bytes` to a new timestamped file beside the store, readable by the user alone,
    // so that something about to be overwritten is not lost. Returns its path, or an empty
    // string when it could not be written.
    virtual QString keepCopy(const QString &label, const QByteArray &bytes) = 0;

    // Leaves the file as it is for the rest of the run, changes kept in memory: for a value
    // about to be replaced that could not be copied first.
    virtual void holdWrites() = 0;

    // Reads the file again when another program (a second Nookary sharing it) wrote it since
    // this store last read or wrote it. Answers how many times it has done so in this run,
    // so that each caller can tell whether the file changed since it last looked (a write of
    // any key also reads it again first).
    virtual quint64 reloadIfChangedElsewhere() = 0;

    // Writes what a failed write left pending; at quit.
    virtual void flush() = 0;

    // The file the values are kept in, or empty for a store kept elsewhere. Copies are kept
    // beside it under its name and a dot; nothing else may write over either.
    virtual QString filePath() const { return {}; }
};

} // namespace nookary
