#pragma once

#include "platform/Pasteboard.h"

class QClipboard;

namespace nookary {

// Pasteboard over QClipboard's CLIPBOARD selection (not the mouse selection). Qt tells of
// every change of owner, so the change count is our own counter, raised on each signal.
class ClipboardPasteboard final : public Pasteboard
{
    Q_OBJECT

public:
    explicit ClipboardPasteboard(QClipboard *clipboard, QObject *parent = nullptr);

    qint64 changeCount() const override { return m_changeCount; }
    std::optional<QString> string() const override;
    std::optional<QString> fileURLString() const override;
    bool isMarkedSecret() const override;

    void clear() override;
    void writeString(const QString &text) override;
    void writeFileURL(const QUrl &url) override;

private:
    QClipboard *m_clipboard;
    qint64 m_changeCount = 0;
};

} // namespace nookary
