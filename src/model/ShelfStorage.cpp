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

// Any item that is not an object with a string "id" (a canonical UUID) and a string "text"
// makes the whole list undecodable.
std::optional<QList<ShelfItem>> decodeShelf(const QByteArray &data)
{
    QJsonParseError error {};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    QList<ShelfItem> items;
    QSet<QUuid> seen;
    const QJsonArray array = doc.array();
    items.reserve(array.size());
    for (const QJsonValue &value : array) {
        if (!value.isObject())
            return std::nullopt;
        const QJsonObject object = value.toObject();
        const QJsonValue id = object.value(QLatin1String("id"));
        const QJsonValue text = object.value(QLatin1String("text"));
        if (!id.isString() || !text.isString())
            return std::nullopt;
        const QString idText = id.toString();
        QUuid uuid = idText.size() == 36 ? QUuid::fromString(idText) : QUuid();
        if (uuid.isNull()) {
            // The all-zero id is a well-formed UUID, but here the null id means "no snippet":
            // that snippet gets an id of its own rather than costing the user the list.
            if (idText != QUuid().toString(QUuid::WithoutBraces))
                return std::nullopt;
            uuid = QUuid::createUuid();
        }
        // Rows, edits and deletes find a snippet by its id: a repeated id (a merged or
        // hand-edited file) would hide one snippet and delete both with the other.
        if (seen.contains(uuid))
            uuid = QUuid::createUuid();
        seen.insert(uuid);
        items.append(ShelfItem::make(uuid, text.toString()));
    }
    return items;
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
    // user's snippets are worth more than our strictness.
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
    const std::optional<QList<ShelfItem>> decoded = data ? decodeShelf(*data) : std::nullopt;
    QList<ShelfItem> loaded;
    if (decoded) {
        bool shortened = false;
        for (qsizetype i = 0; i < decoded->size(); ++i) {
            const ShelfItem &item = decoded->at(i);
            const std::optional<QString> text = normalizedEntryText(item.text);
            if (!text)
                continue; // a blank snippet holds nothing to lose
            if (i >= maxItems || text->size() < trimmedEntryText(item.text).size()) {
                shortened = true;
                if (i >= maxItems)
                    continue;
            }
            loaded.append(ShelfItem::make(item.id, *text));
        }
        if (shortened)
            keepCopy(*data, "were more or longer than kept");
    } else if (data) {
        keepCopy(*data, "could not be read");
    }
    save(loaded);
    return loaded;
}

void ShelfStorage::keepCopy(const QByteArray &stored, const char *reason)
{
    if (stored.isEmpty())
        return;
    const QString copy = m_store.keepCopy(QStringLiteral("snippets"), stored);
    qCWarning(lcShelf).noquote() << "The saved snippets" << reason << "and were replaced;"
                                 << (copy.isEmpty()
                                            ? QStringLiteral("keeping a copy of them failed")
                                            : QStringLiteral("their stored form was kept at ")
                                                + copy);
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
