// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Pasteboard.h"

#include <QStringList>

#include <utility>

namespace nookary::test {

// An in-memory clipboard. A test "copies" as another application would and reads back
// what the program wrote; it also counts content reads, so a test can tell that a poll
// looked only at the change count.
class MemoryPasteboard final : public Pasteboard {
    Q_OBJECT

public:
    struct Contents {
        std::optional<QString> text;
        std::optional<QString> fileURL;
        bool secret = false;
    };

    qint64 changeCount() const override { return m_changeCount; }
    std::optional<QString> string() const override
    {
        ++m_contentReads;
        return m_contents.text;
    }
    std::optional<QString> fileURLString() const override
    {
        ++m_contentReads;
        return m_contents.fileURL;
    }
    bool isMarkedSecret() const override
    {
        ++m_contentReads;
        return m_contents.secret;
    }
    bool holdsOwnWrite() const override { return m_holdsOwnWrite; }
    // While paused, another application's copy is held back as a reader would leave it
    // unread; resuming lets the last one through once.
    void setReadingPaused(bool paused) override
    {
        m_paused = paused;
        if (!paused && std::exchange(m_heldBack, false))
            countChange();
    }
    bool isReadingPaused() const { return m_paused; }

    void clear() override { write({}); }
    void writeString(const QString &text) override { write({ text, std::nullopt, false }); }
    void writeFileURL(const QUrl &url) override
    {
        write({ url.toString(QUrl::FullyEncoded), url.toString(QUrl::FullyEncoded), false });
    }

    // Another application copies.
    void copyText(const QString &text) { copy({ text, std::nullopt, false }); }
    void copy(const Contents &contents)
    {
        m_contents = contents;
        m_holdsOwnWrite = false;
        if (m_paused)
            m_heldBack = true;
        else
            countChange();
    }

    const Contents &contents() const { return m_contents; }
    int contentReads() const { return m_contentReads; }

private:
    // The program's own write: counted at once, paused or not.
    void write(const Contents &contents)
    {
        m_contents = contents;
        m_holdsOwnWrite = true;
        m_heldBack = false;
        countChange();
    }
    void countChange()
    {
        ++m_changeCount;
        Q_EMIT changeCountChanged();
    }

    Contents m_contents;
    qint64 m_changeCount = 100; // any start value; the model only compares
    mutable int m_contentReads = 0;
    bool m_paused = false;
    bool m_heldBack = false;
    bool m_holdsOwnWrite = false;
};

} // namespace nookary::test
