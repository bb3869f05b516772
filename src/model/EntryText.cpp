// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryText.h"

#include <QTextBoundaryFinder>
#include <QUrl>

#include <algorithm>

namespace nookary {

namespace {

// Where the first `count` grapheme clusters of `text` end, or -1 if it has no more than
// `count`. Boundaries are found on a growing prefix, so huge texts are never segmented
// whole. Whether a boundary lies before a character depends on that character too, so only
// a boundary followed by a whole character inside the prefix counts, and the prefix never
// ends between the two halves of a surrogate pair.
qsizetype endOfGraphemes(QStringView text, qsizetype count)
{
    for (qsizetype prefix = count * 2;; prefix *= 2) {
        if (prefix < text.size() && text[prefix - 1].isHighSurrogate()
            && text[prefix].isLowSurrogate())
            ++prefix;
        const bool whole = prefix >= text.size();
        const QStringView window = whole ? text : text.first(prefix);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window);
        qsizetype seen = 0;
        qsizetype position = 0;
        while ((position = finder.toNextBoundary()) != -1) {
            if (++seen == count)
                break;
        }
        if (seen == count && (whole || position < window.size()))
            return position == text.size() ? -1 : position;
        if (whole)
            return -1;
    }
}

// Qt puts combining marks in canonical order with an insertion sort, so a long run of mixed
// marks costs quadratic time: 200,000 of them, copied, would hold the program for minutes.
// Real text stays far below Unicode's stream-safe limit of 30 marks in a row.
bool hasOverlongMarkRun(QStringView text)
{
    constexpr int streamSafeLimit = 30;
    int run = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        run = QChar::combiningClass(c) == 0 ? 0 : run + 1;
        if (run > streamSafeLimit)
            return true;
    }
    return false;
}

} // namespace

QStringView trimmedEntryText(QStringView text)
{
    return text.trimmed();
}

std::optional<QString> normalizedEntryText(QStringView text)
{
    const QStringView trimmed = trimmedEntryText(text);
    if (trimmed.isEmpty())
        return std::nullopt;
    // A cluster is at least one UTF-16 unit, so a short text cannot be too long. The cut
    // can end at a space or a line break, which no stored entry ends with.
    return firstCharacters(trimmed, maxEntryCharacters).trimmed();
}

std::optional<QString> historyEntryText(const QString &text, bool *cut)
{
    QStringView kept = trimmedEntryText(text);
    if (kept.isEmpty())
        return std::nullopt;
    if (kept.size() > maxHistoryTextUnits) {
        kept = trimmedEntryText(kept.first(characterPrefixLength(kept, maxHistoryTextUnits)));
        if (cut)
            *cut = true;
    }
    return kept.size() == text.size() ? text : kept.toString();
}

QString entryPreview(const QString &text)
{
    if (text.size() <= maxEntryCharacters)
        return text;
    const QStringView capped
        = QStringView(text).first(characterPrefixLength(text, maxPreviewUnits));
    const qsizetype end = endOfGraphemes(capped, maxEntryCharacters);
    const qsizetype length = end < 0 ? capped.size() : end;
    return length == text.size() ? text : text.first(length);
}

qsizetype characterPrefixLength(QStringView text, qsizetype maxUnits)
{
    if (text.size() <= maxUnits)
        return text.size();
    if (maxUnits <= 0)
        return 0;
    // Only the neighbourhood of the cut is segmented, a megabytes-long text never whole:
    // ample context before it, and the whole character after it, on which a boundary at
    // the cut depends.
    constexpr qsizetype context = 1024;
    qsizetype end = maxUnits + 1;
    if (text[maxUnits].isHighSurrogate() && end < text.size())
        ++end;
    for (qsizetype start = std::max<qsizetype>(0, maxUnits - context);;
         start = std::max<qsizetype>(0, start - (maxUnits - start))) {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.sliced(start, end - start));
        finder.setPosition(maxUnits - start);
        const qsizetype at = finder.isAtBoundary() ? maxUnits - start : finder.toPreviousBoundary();
        if (at > 0)
            return start + at;
        // A character longer than the context: its start lies further back.
        if (start == 0)
            break;
    }
    return text[maxUnits - 1].isHighSurrogate() ? maxUnits - 1 : maxUnits;
}

bool isCharacterBoundary(QStringView text, qsizetype at)
{
    if (at <= 0 || at >= text.size())
        return true;
    const qsizetype start = std::max<qsizetype>(0, at - 1024);
    qsizetype end = at + 1;
    if (text[at].isHighSurrogate() && end < text.size())
        ++end;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.sliced(start, end - start));
    finder.setPosition(at - start);
    return finder.isAtBoundary();
}

qint64 utf8Size(QStringView text)
{
    qint64 bytes = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // A surrogate pair is four bytes, two for each half.
        bytes += u < 0x80 ? 1 : u < 0x800 ? 2 : c.isSurrogate() ? 2 : 3;
    }
    return bytes;
}

QList<QUrl> entryFileURLs(const QString &text)
{
    if (!text.startsWith(QLatin1String("file://"), Qt::CaseInsensitive))
        return {};
    QList<QUrl> urls;
    for (const QStringView line : QStringView(text).tokenize(u'\n')) {
        const QUrl url(line.trimmed().toString(), QUrl::StrictMode);
        if (!url.isValid() || !url.isLocalFile())
            return {};
        urls.append(url);
    }
    return urls;
}

QString firstCharacters(QStringView text, qsizetype count)
{
    if (count <= 0)
        return {};
    if (text.size() <= count)
        return text.toString();
    const qsizetype end = endOfGraphemes(text, count);
    return end < 0 ? text.toString() : text.first(end).toString();
}

QString displayText(const QString &text)
{
    if (!text.startsWith(QLatin1String("file://"), Qt::CaseInsensitive))
        return text;
    if (const qsizetype lineEnd = text.indexOf(u'\n'); lineEnd >= 0) {
        if (entryFileURLs(text).isEmpty())
            return text;
        return displayText(text.first(lineEnd).trimmed());
    }
    const QUrl url(text);
    const QString name = url.isValid() ? url.fileName() : QString();
    if (!name.isEmpty())
        return name;
    // "FILE:///tmp/" names the folder tmp.
    const QString path = url.path();
    const QString trimmed = path.endsWith(u'/') ? path.chopped(1) : path;
    const QString last = trimmed.section(u'/', -1);
    return last.isEmpty() ? text : last;
}

QString searchedEntryText(const QString &text)
{
    const QList<QUrl> files = entryFileURLs(text);
    if (files.isEmpty())
        return text;
    QStringList paths;
    for (const QUrl &file : files)
        paths.append(file.toLocalFile());
    return paths.join(u'\n');
}

QString canonicalEntryText(const QString &text)
{
    // Below U+0300 nothing combines or decomposes: most texts, the huge ones above all, are
    // canonical as they stand, which a plain scan tells far sooner than the normaliser.
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x300; }))
        return text;
    // Such a text compares as it stands: only an equally odd copy of it could be equivalent.
    if (hasOverlongMarkRun(text))
        return text;
    return text.normalized(QString::NormalizationForm_C);
}

QString foldedEntryText(const QString &text)
{
    return canonicalEntryText(text.toLower());
}

} // namespace nookary
