// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <Qt>

#include <optional>

// How a text reads, right to left or left to right, and the invisible marks that steer it.
namespace nookary::TextDirection {

// A text's own direction, by its first strong character; none for a text without one
// (digits, signs) or an empty one. Only the first line counts, as a row shows it.
std::optional<Qt::LayoutDirection> ofFirstStrongCharacter(QStringView text);

// `text` as a right-to-left paragraph holding it left to right: in a mirrored window it
// stands at the leading edge like the rest, with its punctuation where English puts it
// ("Change…", not "…Change").
QString leftToRightInMirrored(const QString &text);

// `text` without the marks that steer its direction. For what leaves the program (window
// titles, the terminal, the desktop), where they are shown as they are or cut the text.
QString withoutMarks(QString text);

} // namespace nookary::TextDirection
