// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace nookary {

// A key cap showing a shortcut's text on one line. It shows whatever text it is given; it
// composes no shortcut text itself. `emphasized` is the large walkthrough size.
class ShortcutBadge final : public QWidget {
    Q_OBJECT

public:
    explicit ShortcutBadge(bool emphasized, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    bool isRecording() const { return m_isRecording; }
    void setRecording(bool recording);
    bool isEmphasized() const { return m_emphasized; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont textFont() const;
    QMargins padding() const;

    QString m_text;
    bool m_isRecording = false;
    const bool m_emphasized;
};

} // namespace nookary
