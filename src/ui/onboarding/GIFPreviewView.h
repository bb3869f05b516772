// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QSize>
#include <QUrl>

#include <optional>

class QMovie;

namespace nookary {

// Plays one animated GIF, centred and scaled to fit, on a softly rounded ground. The file
// is loaded only when the URL changes, so a page laid out again does not restart its
// animation. Frames are decoded as they play and never cached, and the movie goes with
// the view, so a closed walkthrough keeps nothing in memory. A file that cannot be decoded
// leaves the ground empty.
class GIFPreviewView final : public QLabel {
    Q_OBJECT

public:
    explicit GIFPreviewView(QWidget *parent = nullptr);

    // The GIF called `name` + ".gif" among the compiled-in resources: at the top level
    // (the file name compared exactly), then in "Onboarding/", then in
    // "Resources/Onboarding/". Nothing when there is none.
    static std::optional<QUrl> resourceURL(const QString &name);
    // Width over height of the image in pixels; nothing when it cannot be read.
    static std::optional<qreal> aspectRatio(const QUrl &url);
    // The path QMovie and QImageReader open for a "qrc:" or "file:" URL.
    static QString localPath(const QUrl &url);

    QUrl url() const { return m_lastURL; }
    void setURL(const QUrl &url);
    QMovie *currentMovie() const { return m_movie; }
    // How many files this view has loaded in its life.
    int loadCount() const { return m_loadCount; }

    QSize sizeHint() const override { return {}; }
    QSize minimumSizeHint() const override { return {}; }

    static constexpr qreal cornerRadius = 12;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QSize fittedSize() const;
    void updateScaledSize();

    QUrl m_lastURL;
    QMovie *m_movie = nullptr;
    QSize m_imageSize;
    int m_loadCount = 0;
};

} // namespace nookary
