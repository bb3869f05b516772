// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextDirection.h"

namespace nookary::TextDirection {

namespace {
constexpr QChar kRightToLeftMark { 0x200F };
constexpr QChar kLeftToRightIsolate { 0x2066 };
constexpr QChar kPopIsolate { 0x2069 };

bool isMark(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0x061C // Arabic letter mark
        || u == 0x200E || u == 0x200F // left-to-right and right-to-left marks
        || (u >= 0x202A && u <= 0x202E) // embeddings and overrides
        || (u >= 0x2066 && u <= 0x2069); // isolates
}
} // namespace

std::optional<Qt::LayoutDirection> ofFirstStrongCharacter(QStringView text)
{
    for (qsizetype i = 0; i < text.size() && text[i] != u'\n'; ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        switch (QChar::direction(c)) {
        case QChar::DirL:
            return Qt::LeftToRight;
        case QChar::DirR:
        case QChar::DirAL:
            return Qt::RightToLeft;
        default:
            break;
        }
    }
    return std::nullopt;
}

QString leftToRightInMirrored(const QString &text)
{
    return kRightToLeftMark + (kLeftToRightIsolate + text + kPopIsolate);
}

QString withoutMarks(QString text)
{
    text.removeIf(isMark);
    return text;
}

} // namespace nookary::TextDirection
