#include "ShelfStorage.h"

#include "model/EntryText.h"
#include "model/Settings.h"
#include "model/SettingsKeys.h"
#include "platform/PreferencesStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

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
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    QList<ShelfItem> items;
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
        const QUuid uuid = QUuid::fromString(id.toString());
        if (uuid.isNull() || id.toString().size() != 36)
            return std::nullopt;
        items.append(ShelfItem::make(uuid, text.toString()));
    }
    return items;
}

QByteArray encodeShelf(const QList<ShelfItem> &shelf)
{
    QJsonArray array;
    for (const ShelfItem &item : shelf)
        array.append(QJsonObject{{QLatin1String("id"), uuidString(item.id)},
                                 {QLatin1String("text"), item.text}});
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
    const QString shelfKey = QString::fromLatin1(SK::shelf.current);
    QList<ShelfItem> loaded;
    const std::optional<QByteArray> data = m_settings.persistedData(SK::shelf.current, SK::shelf.legacy);
    const std::optional<QList<ShelfItem>> decoded = data ? decodeShelf(*data) : std::nullopt;
    if (decoded) {
        for (const ShelfItem &item : decoded->mid(0, maxItems)) {
            if (auto text = normalizedEntryText(item.text))
                loaded.append(ShelfItem::make(item.id, *text));
        }
    } else {
        // What cannot be read is replaced by an empty list below; the user's snippets are
        // worth more than our strictness, so their bytes are kept beside the settings.
        std::optional<QByteArray> unreadable = data;
        if (!unreadable && m_store.contains(shelfKey))
            unreadable = m_store.string(shelfKey).value_or(QString()).toUtf8();
        if (unreadable && !unreadable->isEmpty()) {
            const QString copy = m_store.keepCopy(QStringLiteral("snippets"), *unreadable);
            qCWarning(lcShelf).noquote()
                << "The saved snippets could not be read and start empty;"
                << (copy.isEmpty() ? QStringLiteral("keeping a copy of them failed")
                                   : QStringLiteral("their stored form was kept at ") + copy);
        }
    }
    save(loaded);
    return loaded;
}

void ShelfStorage::save(const QList<ShelfItem> &shelf)
{
    m_store.setData(QString::fromLatin1(SK::shelf.current), encodeShelf(shelf));
}

} // namespace nookary
