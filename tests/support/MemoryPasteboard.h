#pragma once

#include "platform/Pasteboard.h"

#include <QStringList>

namespace nookary::test {

// An in-memory clipboard. A test "copies" as another application would and reads back
// what the program wrote; it also counts content reads, so a test can tell that a poll
// looked only at the change count.
class MemoryPasteboard final : public Pasteboard
{
    Q_OBJECT

public:
    struct Contents
    {
        std::optional<QString> text;
        std::optional<QString> fileURL;
        bool secret = false;
    };

    qint64 changeCount() const override { return m_changeCount; }
    std::optional<QString> string() const override { ++m_contentReads; return m_contents.text; }
    std::optional<QString> fileURLString() const override { ++m_contentReads; return m_contents.fileURL; }
    bool isMarkedSecret() const override { ++m_contentReads; return m_contents.secret; }

    void clear() override { replace({}); }
    void writeString(const QString &text) override { replace({text, std::nullopt, false}); }
    void writeFileURL(const QUrl &url) override
    {
        replace({url.toString(QUrl::FullyEncoded), url.toString(QUrl::FullyEncoded), false});
    }

    // Another application copies.
    void copyText(const QString &text) { replace({text, std::nullopt, false}); }
    void copy(const Contents &contents) { replace(contents); }

    const Contents &contents() const { return m_contents; }
    int contentReads() const { return m_contentReads; }

private:
    void replace(const Contents &contents)
    {
        m_contents = contents;
        ++m_changeCount;
        Q_EMIT changeCountChanged();
    }

    Contents m_contents;
    qint64 m_changeCount = 100; // any start value; the model only compares
    mutable int m_contentReads = 0;
};

} // namespace nookary::test
