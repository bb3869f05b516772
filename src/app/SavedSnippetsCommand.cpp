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
#include <QLockFile>
#include <QTemporaryDir>

#include <cstdio>

namespace nookary {

namespace {

namespace SK = SettingsKeys;
using SnippetTransfer::ImportResult;

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
// How long an import waits for a Nookary that is starting to listen.
constexpr int kStartWaitMs = 20000;

// The snippets as the program would load them from the settings file, which is only read.
std::optional<QStringList> storedTexts(QString *error)
{
    const QString path = SettingsPreferencesStore::defaultFilePath();
    const QFileInfo info(path);
    if (!info.exists())
        return QStringList();
    // Whatever keeps the file from being read must not pass for a list without snippets.
    QFile file(path);
    const bool read = info.isFile() && file.open(QIODevice::ReadOnly);
    const QByteArray contents = read ? file.readAll() : QByteArray();
    if (!read || file.error() != QFileDevice::NoError) {
        *error = QCoreApplication::translate(
            "nookary::SavedSnippetsCommand", "cannot read the settings file %1 (%2)")
                     .arg(path,
                         info.isFile() ? file.errorString()
                                       : QCoreApplication::translate(
                                           "nookary::SavedSnippetsCommand", "not a regular file"));
        return std::nullopt;
    }
    // The store tidies the file it opens (its mode, a copy of a damaged one): it opens a copy,
    // so that the settings folder stays as it was.
    QTemporaryDir scratch;
    QFile copy(scratch.filePath(QStringLiteral("Nookary.conf")));
    if (!scratch.isValid() || !copy.open(QIODevice::WriteOnly)
        || copy.write(contents) != contents.size() || !copy.flush()) {
        *error = QCoreApplication::translate("nookary::SavedSnippetsCommand",
            "cannot read the settings file %1 (no room for a temporary copy)")
                     .arg(path);
        return std::nullopt;
    }
    copy.close();
    const SettingsPreferencesStore store(copy.fileName());
    const QString current = QString::fromLatin1(SK::shelf.current);
    const QString legacy = QString::fromLatin1(SK::shelf.legacy);
    std::optional<QByteArray> data = store.data(current);
    if (!data && !store.contains(current))
        data = store.data(legacy);
    const std::optional<QStringList> decoded = data
        ? SnippetTransfer::decode(*data, SnippetTransfer::Format::exported, nullptr)
        : std::nullopt;
    if (!decoded) {
        // A damaged file is copied aside as it is opened; a list that is there but cannot be
        // read is no empty one either.
        const bool damaged = data || !store.backupPath().isEmpty() || store.contains(current)
            || store.contains(legacy);
        if (!damaged)
            return QStringList();
        *error = QCoreApplication::translate("nookary::SavedSnippetsCommand",
            "the settings file %1 is damaged: its saved snippets cannot be read")
                     .arg(path);
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

int printResult(const ImportResult &result)
{
    print(stdout, (SnippetTransfer::describe(result, AppModel::shelfMax) + u'\n').toLocal8Bit());
    return 0;
}

// No instance runs, and none starts while the caller holds the start lock: the settings file
// takes the import, through the same rules.
int importIntoSettingsFile(const QStringList &texts)
{
    const QString path = SettingsPreferencesStore::defaultFilePath();
    std::optional<ImportResult> result;
    QStringList expected;
    {
        SettingsPreferencesStore store(path);
        if (!store.isWritable())
            return fail(QCoreApplication::translate(
                "nookary::SavedSnippetsCommand", "cannot write %1; nothing was imported")
                            .arg(path));
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
        return fail(QCoreApplication::translate("nookary::SavedSnippetsCommand",
            "the settings file %1 could not be written; nothing was imported")
                        .arg(path));
    return printResult(*result);
}

// The running instance takes the import. Once the request has reached it, a missing answer
// leaves open whether it was taken.
int importThroughInstance(const QStringList &texts)
{
    bool reached = false;
    const std::optional<QByteArray> reply
        = InstanceChannel::send(InstanceChannel::Request::importSaved,
            SavedSnippetsCommand::encodeImportRequest(texts), kImportTimeoutMs, &reached);
    if (!reached)
        return fail(QCoreApplication::translate("nookary::SavedSnippetsCommand",
            "Nookary quit as the import was sent; nothing was imported. Try again."));
    if (reply) {
        if (const std::optional<ImportResult> result
            = SavedSnippetsCommand::decodeImportReply(*reply))
            return printResult(*result);
        const QJsonValue refusal
            = QJsonDocument::fromJson(*reply).object().value(QLatin1String("error"));
        if (refusal.isString())
            return fail(QCoreApplication::translate("nookary::SavedSnippetsCommand",
                "the running Nookary refused the import (%1); nothing was imported")
                            .arg(refusal.toString()));
    }
    return fail(QCoreApplication::translate("nookary::SavedSnippetsCommand",
        "the running Nookary did not answer, so it is not known whether it took the "
        "import. See what is saved with: Nookary --saved"));
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
            return fail(QCoreApplication::translate("nookary::SavedSnippetsCommand",
                "the running Nookary sent an answer that cannot be read"));
    } else if (InstanceChannel::isRunning()) {
        return fail(QCoreApplication::translate("nookary::SavedSnippetsCommand",
            "Nookary is running but did not answer; try again in a moment."));
    } else {
        texts = storedTexts(&error);
        if (!texts)
            return fail(error);
    }
    if (file.isEmpty() || file == QLatin1String("-")) {
        print(stdout, SnippetTransfer::encode(*texts));
        return 0;
    }
    if (!SnippetTransfer::writeFile(
            file, *texts, SettingsPreferencesStore::defaultFilePath(), &error))
        return fail(QStringLiteral("%1: %2").arg(file, error));
    return 0;
}

int SavedSnippetsCommand::importSaved(const QString &file, bool lines)
{
    QString error;
    const std::optional<QByteArray> bytes = SnippetTransfer::readFile(file, &error);
    if (!bytes)
        return fail(QCoreApplication::translate(
            "nookary::SavedSnippetsCommand", "%1: %2 Nothing was imported.")
                        .arg(file, error));
    const std::optional<QStringList> texts = SnippetTransfer::decode(
        *bytes, lines ? SnippetTransfer::Format::lines : SnippetTransfer::Format::exported, &error);
    if (!texts) {
        QString message = QCoreApplication::translate(
            "nookary::SavedSnippetsCommand", "%1: %2 Nothing was imported.")
                              .arg(file, error);
        if (!lines && SnippetTransfer::readsAsLines(*bytes))
            message += u'\n'
                + QCoreApplication::translate("nookary::SavedSnippetsCommand",
                    "For plain text with one snippet per line: Nookary --import-saved --lines %1")
                      .arg(file);
        return fail(message);
    }

    // An instance that is starting has read, or is about to read, the settings file and would
    // write back what it read: wait until it listens, then go through it.
    QLockFile startLock(InstanceChannel::startLockPath());
    startLock.setStaleLockTime(0); // held as long as its holder lives, however long that is
    if (!startLock.tryLock(kStartWaitMs)) {
        if (startLock.error() == QLockFile::LockFailedError)
            return fail(QCoreApplication::translate("nookary::SavedSnippetsCommand",
                "Nookary is starting but has not finished; nothing was imported. "
                "Try again in a moment."));
        return fail(QCoreApplication::translate(
            "nookary::SavedSnippetsCommand", "cannot make the lock %1; nothing was imported")
                        .arg(InstanceChannel::startLockPath()));
    }
    if (InstanceChannel::isRunning()) {
        // The instance takes the lock as it quits: it must not wait for us meanwhile.
        startLock.unlock();
        return importThroughInstance(*texts);
    }
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
