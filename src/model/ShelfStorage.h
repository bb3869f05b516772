// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ShelfItem.h"

#include <QList>

#include <optional>

namespace nookary {

class PreferencesStore;
class Settings;

// The saved snippets' stored form: binary data holding a JSON array of {"id", "text"}
// objects under one key. Reading never loses what the user saved: a stored list that is
// replaced (unreadable, holding entries that cannot be read, or more or longer snippets
// than are kept) is first copied beside the settings, and when no copy can be written the
// store is left as it is for the run.
class ShelfStorage final {
public:
    ShelfStorage(PreferencesStore &store, Settings &settings);

    // The stored list, each text normalised, at most `maxItems`; written back at once.
    QList<ShelfItem> load(qsizetype maxItems);
    // The stored list read again, when another program (a second Nookary sharing the
    // file) wrote the file since; nothing when nobody did.
    std::optional<QList<ShelfItem>> reloadIfChangedElsewhere(qsizetype maxItems);
    void save(const QList<ShelfItem> &shelf);
    // Keeps a copy of the list an import is about to add to, as any replacement does.
    void keepCopyBeforeImport(const QList<ShelfItem> &shelf);
    // The file the list is stored in (empty when none), which an export must not replace.
    QString filePath() const;

private:
    QList<ShelfItem> readList(const QByteArray &data, qsizetype maxItems);
    // Copies a stored snippet list that is about to be replaced, and says so in the log;
    // holds the store's writes when it cannot.
    void keepCopy(const QByteArray &stored, const char *reason);

    PreferencesStore &m_store;
    Settings &m_settings;
    // The store's count of reads caused by other programs, as last seen here.
    quint64 m_storeReloadsSeen = 0;
};

} // namespace nookary
