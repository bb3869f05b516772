#include "EntryText.h"

#include <QTextBoundaryFinder>

namespace nookary {

namespace {

// Where the first `count` grapheme clusters of `text` end, or -1 if it has no more than
// `count`. Boundaries are found on a growing prefix: a boundary before the prefix's end
// depends only on what precedes it, so huge texts are never segmented whole.
qsizetype endOfGraphemes(QStringView text, qsizetype count)
{
    for (qsizetype prefix = count * 2; ; prefix *= 2) {
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
    // A cluster is at least one UTF-16 unit, so a short text cannot be too long.
    if (trimmed.size() <= maxEntryCharacters)
        return trimmed.toString();
    const qsizetype end = endOfGraphemes(trimmed, maxEntryCharacters);
    return end < 0 ? trimmed.toString() : trimmed.first(end).toString();
}

QString canonicalEntryText(const QString &text)
{
    return text.normalized(QString::NormalizationForm_C);
}

} // namespace nookary

