// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PreferencesStore.h"

#include <QHash>

#include <memory>

namespace nookary::test {

// Passes everything to a real store and counts the writes per key, so that tests can
// check when the model writes, not only what.
class RecordingPreferencesStore final : public PreferencesStore {
public:
    explicit RecordingPreferencesStore(std::unique_ptr<PreferencesStore> inner)
        : m_inner(std::move(inner))
    {
    }

    int writes(const QString &key) const { return m_writes.value(key); }
    int totalWrites() const
    {
        int total = 0;
        for (int n : m_writes)
            total += n;
        return total;
    }
    void resetCounts() { m_writes.clear(); }

    bool contains(const QString &key) const override { return m_inner->contains(key); }
    qint64 integer(const QString &key) const override { return m_inner->integer(key); }
    bool boolean(const QString &key) const override { return m_inner->boolean(key); }
    double real(const QString &key) const override { return m_inner->real(key); }
    std::optional<QString> string(const QString &key) const override
    {
        return m_inner->string(key);
    }
    std::optional<QByteArray> data(const QString &key) const override { return m_inner->data(key); }
    QByteArray storedForm(const QString &key) const override { return m_inner->storedForm(key); }

    void setInteger(const QString &key, qint64 v) override
    {
        ++m_writes[key];
        m_inner->setInteger(key, v);
    }
    void setBoolean(const QString &key, bool v) override
    {
        ++m_writes[key];
        m_inner->setBoolean(key, v);
    }
    void setReal(const QString &key, double v) override
    {
        ++m_writes[key];
        m_inner->setReal(key, v);
    }
    void setString(const QString &key, const QString &v) override
    {
        ++m_writes[key];
        m_inner->setString(key, v);
    }
    void setData(const QString &key, const QByteArray &v) override
    {
        ++m_writes[key];
        m_inner->setData(key, v);
    }
    QString filePath() const override { return m_inner->filePath(); }
    QString keepCopy(const QString &label, const QByteArray &bytes) override
    {
        return m_inner->keepCopy(label, bytes);
    }
    void holdWrites() override { m_inner->holdWrites(); }
    quint64 reloadIfChangedElsewhere() override { return m_inner->reloadIfChangedElsewhere(); }
    void flush() override { m_inner->flush(); }
    void setWriteProblemHandler(std::function<void(WriteProblem)> handler) override
    {
        m_inner->setWriteProblemHandler(std::move(handler));
    }

private:
    std::unique_ptr<PreferencesStore> m_inner;
    QHash<QString, int> m_writes;
};

} // namespace nookary::test
