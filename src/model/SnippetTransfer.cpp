// SPDX-License-Identifier: GPL-3.0-or-later
#include "SnippetTransfer.h"

#include "model/EntryText.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <cstdio>

namespace nookary {

namespace {

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
            = QCoreApplication::translate(
                "nookary::SnippetTransfer", "Not a snippet export (%1 on line %2).")
                  .arg(parseError.errorString(), QString::number(lineOf(bytes, parseError.offset)));
        return std::nullopt;
    }
    if (!doc.isArray()) {
        *error = QCoreApplication::translate("nookary::SnippetTransfer",
            "Not a snippet export: a JSON array of objects with \"text\" was expected.");
        return std::nullopt;
    }
    QStringList texts;
    const QJsonArray array = doc.array();
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonValue text = array.at(i).toObject().value(QLatin1String("text"));
        if (!text.isString()) {
            *error = QCoreApplication::translate("nookary::SnippetTransfer",
                "Not a snippet export: item %1 is not an object with a \"text\" string.")
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
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        *error = QCoreApplication::translate("nookary::SnippetTransfer", "Not UTF-8 text.");
        return std::nullopt;
    }
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    QStringList texts;
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        // A binary file decodes as UTF-8 often enough: its control characters give it away.
        for (const QChar c : line) {
            if (c.category() == QChar::Other_Control && c != u'\t') {
                *error
                    = QCoreApplication::translate("nookary::SnippetTransfer",
                        "Not text: line %1 holds a control character (U+%2).")
                          .arg(i + 1)
                          .arg(QString::number(c.unicode(), 16).rightJustified(4, u'0').toUpper());
                return std::nullopt;
            }
        }
        appendIfNotBlank(texts, line);
    }
    return texts;
}

// The path `path` names once links are followed, for a file that need not exist yet.
QString resolvedPath(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + u'/' + info.fileName();
}

// The settings file, or a copy the program keeps beside it (its name and a dot first).
bool isSettingsFileOrCopy(const QString &path, const QString &settingsFile)
{
    if (settingsFile.isEmpty())
        return false;
    const QString target = resolvedPath(path);
    const QString settings = resolvedPath(settingsFile);
    return target == settings || target.startsWith(settings + u'.');
}

// Why an export cannot go to `path`, found before writing; empty when nothing stands in the way.
QString obstacleToWriting(const QString &path, const QString &settingsFile)
{
    const QFileInfo target(path);
    if (isSettingsFileOrCopy(path, settingsFile))
        return QCoreApplication::translate("nookary::SnippetTransfer",
            "That is Nookary's settings file or a copy kept beside it; choose another file.");
    if (target.isDir())
        return QCoreApplication::translate("nookary::SnippetTransfer", "It is a folder.");
    // Renamed over, a device or a pipe would be gone: not even a writable one is written.
    if (target.exists() && !target.isFile())
        return QCoreApplication::translate("nookary::SnippetTransfer", "It is not a regular file.");
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return QCoreApplication::translate(
            "nookary::SnippetTransfer", "The folder %1 does not exist.")
            .arg(folder.filePath());
    return {};
}

// Why writing failed, for a failure that did not say it plainly: the file is written as a new
// one beside the old and renamed over it, so the folder must take a new file.
QString whyNotWritten(const QString &path, const QString &reported)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (target.exists() && !target.isWritable())
        return QCoreApplication::translate("nookary::SnippetTransfer", "It is read-only.");
    if (!folder.isWritable())
        return QCoreApplication::translate(
            "nookary::SnippetTransfer", "The folder %1 is not writable.")
            .arg(folder.filePath());
    QTemporaryFile probe(folder.filePath() + QStringLiteral("/.Nookary-probe-XXXXXX"));
    if (!probe.open())
        return QCoreApplication::translate(
            "nookary::SnippetTransfer", "The folder %1 takes no new files.")
            .arg(folder.filePath());
    return QCoreApplication::translate("nookary::SnippetTransfer", "Cannot be written: %1.")
        .arg(reported);
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
        *error = QCoreApplication::translate(
            "nookary::SnippetTransfer", "Larger than %1 MiB, far more than saved snippets take.")
                     .arg(maxImportBytes / (1024 * 1024));
        return std::nullopt;
    }
    if (format == Format::byContent)
        format = QByteArrayView(bytes).trimmed().startsWith('[') ? Format::exported : Format::lines;
    return format == Format::exported ? decodeExport(bytes, error) : decodeLines(bytes, error);
}

bool SnippetTransfer::readsAsLines(const QByteArray &bytes)
{
    const QByteArrayView start = QByteArrayView(bytes).trimmed();
    if (start.startsWith('[') || start.startsWith('{'))
        return false;
    const std::optional<QStringList> lines = decode(bytes, Format::lines, nullptr);
    return lines && !lines->isEmpty();
}

bool SnippetTransfer::writeFile(
    const QString &path, const QStringList &texts, const QString &settingsFile, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    if (const QString obstacle = obstacleToWriting(path, settingsFile); !obstacle.isEmpty()) {
        *error = obstacle;
        return false;
    }
    const QByteArray bytes = encode(texts);
    QSaveFile out(path);
    // Snippets are as private as the settings they come from.
    if (!out.open(QIODevice::WriteOnly)) {
        *error = whyNotWritten(path, out.errorString());
        return false;
    }
    if (!out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || out.write(bytes) != bytes.size() || !out.commit()) {
        *error = QCoreApplication::translate("nookary::SnippetTransfer", "Cannot be written: %1.")
                     .arg(out.errorString());
        return false;
    }
    return true;
}

std::optional<QByteArray> SnippetTransfer::readFile(const QString &path, QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    QFile in;
    if (path == QLatin1String("-")) {
        in.open(stdin, QIODevice::ReadOnly);
    } else {
        const QFileInfo info(path);
        if (info.exists() && !info.isFile()) {
            *error = info.isDir()
                ? QCoreApplication::translate("nookary::SnippetTransfer", "It is a folder.")
                : QCoreApplication::translate(
                    "nookary::SnippetTransfer", "It is not a regular file.");
            return std::nullopt;
        }
        in.setFileName(path);
        in.open(QIODevice::ReadOnly);
    }
    // A pipe hands its bytes over a piece at a time: read to its end, or to one byte past the
    // limit, which is enough to refuse it as too large.
    QByteArray bytes;
    while (in.isOpen() && bytes.size() <= maxImportBytes) {
        const QByteArray piece = in.read(maxImportBytes + 1 - bytes.size());
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (!in.isOpen() || in.error() != QFileDevice::NoError) {
        *error = QCoreApplication::translate("nookary::SnippetTransfer", "Cannot be read: %1.")
                     .arg(in.errorString());
        return std::nullopt;
    }
    return bytes;
}

QString SnippetTransfer::describe(const ImportResult &result, int limit)
{
    if (result.added == 0 && result.alreadySaved == 0 && result.overLimit == 0)
        return QCoreApplication::translate(
            "nookary::SnippetTransfer", "The file holds no snippets; nothing was imported.");
    // A sentence for each count, so that each has its own plural forms.
    QStringList sentences { result.added == 0
            ? QCoreApplication::translate("nookary::SnippetTransfer", "No snippet was imported.")
            : QCoreApplication::translate(
                "nookary::SnippetTransfer", "Imported %Ln snippet(s).", nullptr, result.added) };
    if (result.alreadySaved > 0)
        sentences.append(QCoreApplication::translate("nookary::SnippetTransfer",
            "Skipped %Ln already saved.", nullptr, result.alreadySaved));
    if (result.overLimit > 0)
        sentences.append(QCoreApplication::translate("nookary::SnippetTransfer",
            "%Ln did not fit: at most %1 snippets can be saved.", nullptr, result.overLimit)
                             .arg(QLocale().toString(limit)));
    return sentences.join(u' ');
}

} // namespace nookary
