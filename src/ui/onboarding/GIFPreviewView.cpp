// SPDX-License-Identifier: GPL-3.0-or-later
#include "GIFPreviewView.h"

#include "ui/onboarding/OnboardingStyle.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QMovie>
#include <QPainter>
#include <QPainterPath>

// The animations are compiled into a static library, whose resources must be pulled in
// by hand.
static void initOnboardingResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(onboarding);
        return true;
    }();
    Q_UNUSED(done);
}

namespace nookary {

GIFPreviewView::GIFPreviewView(QWidget *parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

std::optional<QUrl> GIFPreviewView::resourceURL(const QString &name)
{
    initOnboardingResources();
    const QString fileName = name + QStringLiteral(".gif");
    const auto url = [](const QString &path) { return QUrl(QStringLiteral("qrc") + path); };

    const QStringList topLevel
        = QDir(QStringLiteral(":/")).entryList({ QStringLiteral("*.gif") }, QDir::Files);
    for (const QString &entry : topLevel) {
        if (entry == fileName)
            return url(QStringLiteral(":/") + entry);
    }
    for (const QString &folder : { QStringLiteral(":/"), QStringLiteral(":/Onboarding/"),
             QStringLiteral(":/Resources/Onboarding/") }) {
        if (QFile::exists(folder + fileName))
            return url(folder + fileName);
    }
    return std::nullopt;
}

QString GIFPreviewView::localPath(const QUrl &url)
{
    if (url.scheme() == QLatin1String("qrc"))
        return QLatin1Char(':') + url.path();
    return url.toLocalFile();
}

std::optional<qreal> GIFPreviewView::aspectRatio(const QUrl &url)
{
    QImageReader reader(localPath(url));
    const QSize size = reader.size();
    if (!size.isValid() || size.width() <= 0 || size.height() <= 0)
        return std::nullopt;
    return qreal(size.width()) / qreal(size.height());
}

void GIFPreviewView::setURL(const QUrl &url)
{
    if (url == m_lastURL)
        return; // the running animation goes on
    m_lastURL = url;
    setMovie(nullptr);
    delete m_movie;
    m_movie = nullptr;
    m_imageSize = {};
    if (url.isEmpty()) {
        update();
        return;
    }
    ++m_loadCount;
    m_movie = new QMovie(localPath(url), QByteArray(), this);
    m_movie->setCacheMode(QMovie::CacheNone);
    if (m_movie->isValid()) {
        m_imageSize = QImageReader(localPath(url)).size();
        setMovie(m_movie);
        updateScaledSize();
        if (isVisible())
            m_movie->start();
    }
    update();
}

QSize GIFPreviewView::fittedSize() const
{
    if (!m_imageSize.isValid() || m_imageSize.isEmpty() || width() <= 0 || height() <= 0)
        return {};
    return m_imageSize.scaled(size(), Qt::KeepAspectRatio);
}

void GIFPreviewView::updateScaledSize()
{
    if (!m_movie || !m_movie->isValid())
        return;
    const QSize fitted = fittedSize();
    if (fitted.isEmpty())
        return;
    const QSize pixels = fitted * devicePixelRatioF();
    if (m_movie->scaledSize() != pixels)
        m_movie->setScaledSize(pixels);
}

void GIFPreviewView::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    updateScaledSize();
}

void GIFPreviewView::showEvent(QShowEvent *event)
{
    QLabel::showEvent(event);
    if (m_movie && m_movie->isValid()) {
        if (m_movie->state() == QMovie::NotRunning)
            m_movie->start();
        else
            m_movie->setPaused(false);
    }
}

void GIFPreviewView::hideEvent(QHideEvent *event)
{
    QLabel::hideEvent(event);
    // Nobody sees it: stop decoding frames.
    if (m_movie && m_movie->state() == QMovie::Running)
        m_movie->setPaused(true);
}

void GIFPreviewView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.setClipPath(shape);
    painter.fillPath(shape, OnboardingStyle::windowBackground(*this, 0.06f));
    if (!m_movie || !m_movie->isValid())
        return;
    QPixmap frame = m_movie->currentPixmap();
    if (frame.isNull())
        return;
    const QSize fitted = fittedSize();
    if (fitted.isEmpty())
        return;
    QRect target(QPoint(0, 0), fitted);
    target.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, frame);
}

} // namespace nookary
