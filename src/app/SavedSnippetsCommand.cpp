// SPDX-License-Identifier: GPL-3.0-or-later
#include "SavedSnippetsCommand.h"

#include "app/InstanceChannel.h"
#include "model/AppModel.h"
#include "model/EntryText.h"
#include "model/Settings.h"
#include "model/SettingsKeys.h"
#include "model/Shelf.h"
#include "model/ShelfStorage.h"
#include "platform/Clock.h"
#include "platform/qt/SettingsPreferencesStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace nookary {

namespace {

namespace SK = SettingsKeys;
using SnippetTransfer::ImportResult;

QString tr(const char *text)
{
    return QCoreApplication::translate("SavedSnippetsCommand", text);
}

void print(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int fail(const QString &message)
{
    print(stderr, QStringLiteral("Nookary: %1\n").arg(message).toLocal8Bit());
    return 1;
}

// An import is written to disk before the answer: it may take a while on a busy machine.
constexpr int kImportTimeoutMs = 15000;

// The snippets as the program would load them from the settings file, without writing it.
std::optional<QStringList> storedTexts(QString *error)
{
    const QString path = SettingsPreferencesStore::defaultFilePath();
    if (!QFile::exists(path))
        return QStringList();
    const SettingsPreferencesStore store(path);
    std::optional<QByteArray> data = store.data(QString::fromLatin1(SK::shelf.current));
    if (!data && !store.contains(QString::fromLatin1(SK::shelf.current)))
        data = store.data(QString::fromLatin1(SK::shelf.legacy));
    if (!data)
        return QStringList();
    QString reason;
    const std::optional<QStringList> decoded
        = SnippetTransfer::decode(*data, SnippetTransfer::Format::exported, &reason);
    if (!decoded) {
        *error = tr("the saved snippets in %1 cannot be read (%2)").arg(path, reason);
        return std::nullopt;
    }
    QStringList texts;
    for (const QString &text : *decoded) {
        if (texts.size() == AppModel::shelfMax)
            break;
        if (const std::optional<QString> normalized = normalizedEntryText(text))
            texts.append(*normalized);
    }
    return texts;
}

// The running instance's snippets, from its `--saved` lines.
std::optional<QStringList> runningTexts(const QByteArray &lines)
{
    QStringList texts;
    for (const QByteArray &line : lines.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const QJsonValue text = QJsonDocument::fromJson(line).object().value(QLatin1String("text"));
        if (!text.isString())
            return std::nullopt;
        // A snippet being typed in the panel is still empty.
        if (!trimmedEntryText(text.toString()).isEmpty())
            texts.append(text.toString());
    }
    return texts;
}

// No instance runs: the settings file takes the import, through the same rules.
int importIntoSettingsFile(const QStringList &texts)
{
    const QString path = SettingsPreferencesStore::defaultFilePath();
    std::optional<ImportResult> result;
    QStringList expected;
    {
        SettingsPreferencesStore store(path);
        if (!store.isWritable())
            return fail(tr("cannot write %1; nothing was imported").arg(path));
        Settings settings(store);
        ShelfStorage storage(store, settings);
        Shelf shelf(storage, SystemClock::shared(), AppModel::shelfMax);
        result = shelf.importTexts(texts);
        for (const ShelfItem &item : shelf.items())
            expected.append(item.text);
    }
    // A store that failed to write says so only in the log: read the file again.
    QString error;
    const std::optional<QStringList> stored = storedTexts(&error);
    if (result->added > 0 && stored != expected)
        return fail(
            tr("the settings file %1 could not be written; nothing was imported").arg(path));
    print(stdout, (SnippetTransfer::describe(*result, AppModel::shelfMax) + u'\n').toLocal8Bit());
    return 0;
}

} // namespace

int SavedSnippetsCommand::exportSaved(const QString &file)
{
    std::optional<QStringList> texts;
    QString error;
    if (const std::optional<QByteArray> reply
        = InstanceChannel::send(InstanceChannel::Request::saved)) {
        texts = runningTexts(*reply);
        if (!texts)
            return fail(tr("the running Nookary sent an answer that cannot be read"));
    } else if (InstanceChannel::isRunning()) {
        return fail(tr("Nookary is running but did not answer; try again in a moment."));
    } else {
        texts = storedTexts(&error);
        if (!texts)
            return fail(error);
    }
    if (file.isEmpty() || file == QLatin1String("-")) {
        print(stdout, SnippetTransfer::encode(*texts));
        return 0;
    }
    if (!SnippetTransfer::writeFile(file, *texts, &error))
        return fail(QStringLiteral("%1: %2").arg(file, error));
    return 0;
}

int SavedSnippetsCommand::importSaved(const QString &file, bool lines)
{
    QString error;
    const std::optional<QStringList> texts = SnippetTransfer::readFile(
        file, lines ? SnippetTransfer::Format::lines : SnippetTransfer::Format::exported, &error);
    if (!texts) {
        QString message = tr("%1: %2 Nothing was imported.").arg(file, error);
        // A file that was read but is no export may be text with one snippet per line.
        if (!lines && (file == QLatin1String("-") || QFileInfo(file).isReadable()))
            message += u'\n'
                + tr("For plain text with one snippet per line: Nookary --import-saved --lines %1")
                      .arg(file);
        return fail(message);
    }
    if (const std::optional<QByteArray> reply = InstanceChannel::send(
            InstanceChannel::Request::importSaved, encodeImportRequest(*texts), kImportTimeoutMs)) {
        const std::optional<ImportResult> result = decodeImportReply(*reply);
        if (!result)
            return fail(tr("the running Nookary did not take the import"));
        print(
            stdout, (SnippetTransfer::describe(*result, AppModel::shelfMax) + u'\n').toLocal8Bit());
        return 0;
    }
    // It may have taken the import all the same: never write the file behind its back.
    if (InstanceChannel::isRunning())
        return fail(tr("Nookary is running but did not answer; see what it saved with: "
                       "Nookary --saved"));
    return importIntoSettingsFile(*texts);
}

QByteArray SavedSnippetsCommand::encodeImportRequest(const QStringList &texts)
{
    return QJsonDocument(QJsonArray::fromStringList(texts)).toJson(QJsonDocument::Compact);
}

std::optional<QStringList> SavedSnippetsCommand::decodeImportRequest(const QByteArray &argument)
{
    const QJsonDocument doc = QJsonDocument::fromJson(argument);
    if (!doc.isArray())
        return std::nullopt;
    QStringList texts;
    for (const QJsonValue &value : doc.array()) {
        if (!value.isString())
            return std::nullopt;
        texts.append(value.toString());
    }
    return texts;
}

QByteArray SavedSnippetsCommand::encodeImportReply(const ImportResult &result)
{
    const QJsonObject object { { QLatin1String("added"), result.added },
        { QLatin1String("alreadySaved"), result.alreadySaved },
        { QLatin1String("overLimit"), result.overLimit } };
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<ImportResult> SavedSnippetsCommand::decodeImportReply(const QByteArray &reply)
{
    const QJsonObject object = QJsonDocument::fromJson(reply).object();
    const QJsonValue added = object.value(QLatin1String("added"));
    const QJsonValue alreadySaved = object.value(QLatin1String("alreadySaved"));
    const QJsonValue overLimit = object.value(QLatin1String("overLimit"));
    if (!added.isDouble() || !alreadySaved.isDouble() || !overLimit.isDouble())
        return std::nullopt;
    return ImportResult { added.toInt(), alreadySaved.toInt(), overLimit.toInt() };
}

} // namespace nookary
