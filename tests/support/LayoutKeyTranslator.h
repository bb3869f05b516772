// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/KeyTranslator.h"

#include <QHash>

namespace nookary::test {

// A keyboard whose keys type other letters than the US layout's: places come from `places`
// (none without it), letters from `letters`, which a test may change as a user switching
// layouts would.
class LayoutKeyTranslator final : public KeyTranslator {
public:
    explicit LayoutKeyTranslator(
        QHash<quint32, QChar> letters, const KeyTranslator *places = nullptr)
        : letters(std::move(letters))
        , m_places(places)
    {
    }

    // The letters of the Dvorak layout, by the stored key codes (the US layout's places).
    static QHash<quint32, QChar> dvorak()
    {
        return { { 0, u'A' }, { 1, u'O' }, { 2, u'E' }, { 3, u'U' }, { 4, u'D' }, { 5, u'I' },
            { 7, u'Q' }, { 8, u'J' }, { 9, u'K' }, { 11, u'X' }, { 15, u'P' }, { 16, u'F' },
            { 17, u'Y' }, { 31, u'R' }, { 32, u'G' }, { 34, u'C' }, { 35, u'L' }, { 37, u'N' },
            { 38, u'H' }, { 40, u'T' }, { 41, u'S' }, { 44, u'Z' }, { 45, u'B' }, { 46, u'M' },
            { 43, u'W' }, { 47, u'V' } };
    }
    // The letters of the French AZERTY layout: A and Q, Z and W change places, M moves
    // to the US layout's semicolon.
    static QHash<quint32, QChar> azerty()
    {
        QHash<quint32, QChar> letters = us();
        letters[0] = u'Q';
        letters[12] = u'A';
        letters[6] = u'W';
        letters[13] = u'Z';
        letters[41] = u'M';
        letters.remove(46);
        return letters;
    }
    // The US layout's letters.
    static QHash<quint32, QChar> us()
    {
        QHash<quint32, QChar> letters;
        const NullKeyTranslator plain;
        for (quint32 code = 0; code < 128; ++code) {
            if (const auto letter = plain.letterTyped(code))
                letters.insert(code, *letter);
        }
        return letters;
    }

    std::optional<quint32> virtualKey(quint32 nativeScanCode) const override
    {
        return m_places ? m_places->virtualKey(nativeScanCode) : std::nullopt;
    }
    std::optional<quint32> nativeScanCode(quint32 virtualKey) const override
    {
        return m_places ? m_places->nativeScanCode(virtualKey) : std::nullopt;
    }
    bool knowsPlaces() const override { return m_places && m_places->knowsPlaces(); }
    std::optional<QChar> letterTyped(quint32 virtualKey) const override
    {
        const auto found = letters.constFind(virtualKey);
        return found != letters.cend() ? std::optional(*found) : std::nullopt;
    }

    QHash<quint32, QChar> letters;

private:
    const KeyTranslator *m_places;
};

} // namespace nookary::test
