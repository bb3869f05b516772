#pragma once

#include "model/ShelfItem.h"

#include <QList>

namespace nookary {

class PreferencesStore;
class Settings;

// The saved snippets' stored form: binary data holding a JSON array of {"id", "text"}
// objects under one key. Reading never loses what the user saved: a list that cannot be
// read is copied beside the settings before the empty list replaces it.
class ShelfStorage final
{
public:
    ShelfStorage(PreferencesStore &store, Settings &settings);

    // The stored list, each text normalised, at most `maxItems`; written back at once.
    QList<ShelfItem> load(qsizetype maxItems);
    void save(const QList<ShelfItem> &shelf);

private:
    PreferencesStore &m_store;
    Settings &m_settings;
};

} // namespace nookary
