// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShelfStorage.h"

#include "model/EntryText.h"
#include "model/Settings.h"
#include "model/SettingsKeys.h"
#include "platform/PreferencesStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSet>

Q_LOGGING_CATEGORY(lcShelf, "nookary.model")

namespace nookary {

namespace SK = SettingsKeys;

namespace {

QString uuidString(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

// The list as decoded, and whether decoding lost anything of what was stored.
struct DecodedShelf {
    QList<ShelfItem> items;
    bool lossy = false;
};

// One entry the user cannot have meant (not an object, no text, an id that is not a
// UUID) costs only itself, or only its id: the others are the user's snippets all the
// same. Nothing when the data is not a JSON array at all.
std::optional<DecodedShelf> decodeShelf(const QByteArray &data)
{
    QJsonParseError error {};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    DecodedShelf decoded;
    QSet<QUuid> seen;
    const QJsonArray array = doc.array();
    decoded.items.reserve(array.size());
    for (const QJsonValue &value : array) {
        const QJsonObject object = value.toObject();
        const QJsonValue text = object.value(QLatin1String("text"));
        if (!text.isString()) {
            decoded.lossy = true; // nothing readable to keep
            continue;
        }
        const QJsonValue id = object.value(QLatin1String("id"));
        const QString idText = id.toString();
        QUuid uuid = idText.size() == 36 ? QUuid::fromString(idText) : QUuid();
        if (uuid.isNull()) {
            // The all-zero id is a well-formed UUID, but here the null id means "no
            // snippet": such a snippet gets an id of its own, as one without a usable id.
            if (!id.isString() || idText != QUuid().toString(QUuid::WithoutBraces))
                decoded.lossy = true;
            uuid = QUuid::createUuid();
        }
        // Rows, edits and deletes find a snippet by its id: a repeated id (a merged or
        // hand-edited file) would hide one snippet and delete both with the other.
        if (seen.contains(uuid))
            uuid = QUuid::createUuid();
        seen.insert(uuid);
        decoded.items.append(ShelfItem::make(uuid, text.toString()));
    }
    return decoded;
}

QByteArray encodeShelf(const QList<ShelfItem> &shelf)
{
    QJsonArray array;
    for (const ShelfItem &item : shelf)
        array.append(QJsonObject {
            { QLatin1String("id"), uuidString(item.id) }, { QLatin1String("text"), item.text } });
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace

ShelfStorage::ShelfStorage(PreferencesStore &store, Settings &settings)
    : m_store(store)
    , m_settings(settings)
{
}

QList<ShelfItem> ShelfStorage::load(qsizetype maxItems)
{
    // Every path below that replaces what the user stored keeps a copy of it first: the
    // user's snippets are worth more than our strictness. Where no copy can be written,
    // the store is left as it is for the run.
    const QString shelfKey = QString::fromLatin1(SK::shelf.current);
    if (m_store.contains(shelfKey) && !m_store.data(shelfKey)) {
        // Not binary data (a hand-edited or synced file can give text, a list or another
        // type): replaced below by the legacy list or by an empty one.
        keepCopy(m_store.storedForm(shelfKey), "could not be read");
    }
    const QString legacyKey = QString::fromLatin1(SK::shelf.legacy);
    if (!m_store.data(shelfKey) && m_store.contains(legacyKey) && !m_store.data(legacyKey)) {
        // The legacy key is never removed, but the file's next write respells it; taken
        // only while no current list exists, so that this happens once.
        keepCopy(m_store.storedForm(legacyKey), "could not be read");
    }
    const std::optional<QByteArray> data
        = m_settings.persistedData(SK::shelf.current, SK::shelf.legacy);
    const QList<ShelfItem> loaded = data ? readList(*data, maxItems) : QList<ShelfItem>();
    save(loaded);
    return loaded;
}

std::optional<QList<ShelfItem>> ShelfStorage::reloadIfChangedElsewhere(qsizetype maxItems)
{
    const quint64 reloads = m_store.reloadIfChangedElsewhere();
    if (reloads == m_storeReloadsSeen)
        return std::nullopt;
    m_storeReloadsSeen = reloads;
    const QString shelfKey = QString::fromLatin1(SK::shelf.current);
    const std::optional<QByteArray> data = m_store.data(shelfKey);
    if (!data) {
        // Not a list another Nookary wrote: ours stays, and what is there is kept.
        if (m_store.contains(shelfKey))
            keepCopy(m_store.storedForm(shelfKey), "could not be read");
        return std::nullopt;
    }
    return readList(*data, maxItems);
}

QList<ShelfItem> ShelfStorage::readList(const QByteArray &data, qsizetype maxItems)
{
    const std::optional<DecodedShelf> decoded = decodeShelf(data);
    if (!decoded) {
        keepCopy(data, "could not be read");
        return {};
    }
    QList<ShelfItem> items;
    bool shortened = false;
    for (qsizetype i = 0; i < decoded->items.size(); ++i) {
        const ShelfItem &item = decoded->items.at(i);
        const std::optional<QString> text = normalizedEntryText(item.text);
        if (!text)
            continue; // a blank snippet holds nothing to lose
        if (i >= maxItems || text->size() < trimmedEntryText(item.text).size()) {
            shortened = true;
            if (i >= maxItems)
                continue;
        }
        items.append(ShelfItem::make(item.id, *text));
    }
    if (shortened)
        keepCopy(data, "were more or longer than kept");
    else if (decoded->lossy)
        keepCopy(data, "held entries that could not be read");
    return items;
}

void ShelfStorage::keepCopy(const QByteArray &stored, const char *reason)
{
    if (stored.isEmpty())
        return;
    const QString copy = m_store.keepCopy(QStringLiteral("snippets"), stored);
    if (copy.isEmpty()) {
        // Replacing them now would lose them: the store keeps every change in memory instead.
        qCWarning(lcShelf).noquote()
            << "The saved snippets" << reason
            << "and no copy of them could be kept; they are left as they are in the file.";
        m_store.holdWrites();
        return;
    }
    qCWarning(lcShelf).noquote() << "The saved snippets" << reason
                                 << "and were replaced; their stored form was kept at" << copy;
}

void ShelfStorage::keepCopyBeforeImport(const QList<ShelfItem> &shelf)
{
    keepCopy(encodeShelf(shelf), "took in an import");
}

QString ShelfStorage::filePath() const
{
    return m_store.filePath();
}

void ShelfStorage::save(const QList<ShelfItem> &shelf)
{
    m_store.setData(QString::fromLatin1(SK::shelf.current), encodeShelf(shelf));
}

} // namespace nookary
