// SPDX-License-Identifier: GPL-3.0-or-later
#include "SnippetTransfer.h"

#include "model/EntryText.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringDecoder>

#include <cstdio>

namespace nookary {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("SnippetTransfer", text);
}

void appendIfNotBlank(QStringList &texts, QStringView text)
{
    if (!trimmedEntryText(text).isEmpty())
        texts.append(text.toString());
}

// The line a byte offset falls on, counted as an editor counts it.
qsizetype lineOf(const QByteArray &bytes, qsizetype offset)
{
    return QByteArrayView(bytes).first(qBound(qsizetype(0), offset, bytes.size())).count('\n') + 1;
}

std::optional<QStringList> decodeExport(const QByteArray &bytes, QString *error)
{
    QJsonParseError parseError {};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error
            = tr("Not a snippet export (%1 on line %2).")
                  .arg(parseError.errorString(), QString::number(lineOf(bytes, parseError.offset)));
        return std::nullopt;
    }
    if (!doc.isArray()) {
        *error = tr("Not a snippet export: a JSON array of objects with \"text\" was expected.");
        return std::nullopt;
    }
    QStringList texts;
    const QJsonArray array = doc.array();
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonValue text = array.at(i).toObject().value(QLatin1String("text"));
        if (!text.isString()) {
            *error = tr("Not a snippet export: item %1 is not an object with a \"text\" string.")
                         .arg(i + 1);
            return std::nullopt;
        }
        appendIfNotBlank(texts, text.toString());
    }
    return texts;
}

std::optional<QStringList> decodeLines(const QByteArray &bytes, QString *error)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        *error = tr("Not UTF-8 text.");
        return std::nullopt;
    }
    QStringList texts;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        appendIfNotBlank(texts, line);
    }
    return texts;
}

} // namespace

QByteArray SnippetTransfer::encode(const QStringList &texts)
{
    QJsonArray array;
    for (const QString &text : texts)
        array.append(QJsonObject { { QLatin1String("text"), text } });
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

std::optional<QStringList> SnippetTransfer::decode(
    const QByteArray &bytes, Format format, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    if (bytes.size() > maxImportBytes) {
        *error = tr("Larger than %1 MiB, far more than saved snippets take.")
                     .arg(maxImportBytes / (1024 * 1024));
        return std::nullopt;
    }
    if (format == Format::byContent)
        format = QByteArrayView(bytes).trimmed().startsWith('[') ? Format::exported : Format::lines;
    return format == Format::exported ? decodeExport(bytes, error) : decodeLines(bytes, error);
}

bool SnippetTransfer::writeFile(const QString &path, const QStringList &texts, QString *error)
{
    const QByteArray bytes = encode(texts);
    QSaveFile out(path);
    // Snippets are as private as the settings they come from.
    if (!out.open(QIODevice::WriteOnly)
        || !out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || out.write(bytes) != bytes.size() || !out.commit()) {
        if (error)
            *error = tr("Cannot be written: %1.").arg(out.errorString());
        return false;
    }
    return true;
}

std::optional<QStringList> SnippetTransfer::readFile(
    const QString &path, Format format, QString *error)
{
    QFile in;
    const bool opened = path == QLatin1String("-")
        ? in.open(stdin, QIODevice::ReadOnly)
        : (in.setFileName(path), in.open(QIODevice::ReadOnly));
    // One byte past the limit is enough to refuse a file as too large.
    const QByteArray bytes = opened ? in.read(maxImportBytes + 1) : QByteArray();
    if (!opened || in.error() != QFileDevice::NoError) {
        if (error)
            *error = tr("Cannot be read: %1.").arg(in.errorString());
        return std::nullopt;
    }
    return decode(bytes, format, error);
}

QString SnippetTransfer::describe(const ImportResult &result, int limit)
{
    return tr("Added %1, skipped %2 already saved, %3 over the limit of %4")
        .arg(result.added)
        .arg(result.alreadySaved)
        .arg(result.overLimit)
        .arg(limit);
}

} // namespace nookary
