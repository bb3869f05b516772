// SPDX-License-Identifier: GPL-3.0-or-later
#include "NookaryCenteredWindow.h"

#include "app/WindowPlacement.h"
#include "model/PersistedRead.h"
#include "model/SettingsKeys.h"
#include "platform/Clock.h"
#include "platform/MainQueue.h"
#include "platform/WindowSystem.h"
#include "ui/NookaryPanel.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

#include <utility>

namespace nookary {

namespace SK = SettingsKeys;

namespace {

std::optional<double> stored(PreferencesStore &store, const SK::Key &key)
{
    return persistedDouble(
        store, QString::fromLatin1(key.current), QString::fromLatin1(key.legacy));
}

QScreen *bestScreenForCentering()
{
    if (QScreen *screen = QGuiApplication::screenAt(QCursor::pos()))
        return screen;
    return QGuiApplication::primaryScreen();
}

} // namespace

NookaryCenteredWindow::NookaryCenteredWindow(PreferencesStore &store, QWidget *content,
    Clock &clock, SessionCapabilities session, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_clock(clock)
    , m_session(session)
    , m_panel(new NookaryPanel)
    , m_moveResizeTimer(makeQuietTimer(this))
{
    auto *layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    m_panel->installEventFilter(this);
    connect(m_panel, &NookaryPanel::aboutToShow, this,
        [this] { WindowSystem::keepOutOfTaskbar(*m_panel); });
    connect(m_panel, &NookaryPanel::systemMoveReleased, this,
        [this] { WindowSystem::endSystemMove(*m_panel); });
    connect(m_panel, &NookaryPanel::moveOrResizeStarted, this, [this] {
        // Under way from the press, before the first Move arrives.
        if (!m_movingOrResizing)
            m_sizeBeforeGesture = m_panel->size();
        m_movingOrResizing = true;
        noteMoveOrResize();
    });
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
        [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive)
                handleApplicationDeactivated();
        });
}

NookaryCenteredWindow::~NookaryCenteredWindow()
{
    // Hiding it on the way out is no loss of focus to act on.
    m_panel->removeEventFilter(this);
    delete m_panel;
}

void NookaryCenteredWindow::setMoveResizeTimer(std::unique_ptr<QuietTimer> timer)
{
    m_moveResizeTimer = std::move(timer);
}

bool NookaryCenteredWindow::isVisible() const
{
    return m_panel->isVisible();
}

bool NookaryCenteredWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_panel)
        return false;
    switch (event->type()) {
    case QEvent::WindowActivate:
        Q_EMIT windowActivated();
        break;
    case QEvent::WindowDeactivate:
        closeOnFocusLoss();
        break;
    case QEvent::Move:
    case QEvent::Resize:
        noteMoveOrResize();
        break;
    default:
        break;
    }
    return false;
}

void NookaryCenteredWindow::noteMoveOrResize()
{
    // A drag sends a Move for every step; writing (and syncing) the settings file each time
    // would wear the disk for nothing. The frame is written once the steps stop.
    if (!m_panel->isVisible())
        return;
    QPointer<NookaryCenteredWindow> self(this);
    m_moveResizeTimer->start(moveResizeQuiet, [self] {
        if (self)
            self->finishMoveOrResize();
    });
}

void NookaryCenteredWindow::finishMoveOrResize()
{
    m_movingOrResizing = false;
    persistCurrentFrame(false);
    // The window manager hands focus back when it lets go of the pointer; should it not,
    // the panel asks for it, so that typing still reaches it.
    if (m_panel->isVisible() && !m_panel->isActiveWindow())
        m_panel->activateWindow();
    Q_EMIT moveOrResizeEnded();
}

void NookaryCenteredWindow::closeOnFocusLoss()
{
    // While the window manager moves the window it holds the keyboard, which reads as a
    // loss of focus: that is no reason to close.
    if (m_closing != Closing::no || !m_panel->isVisible() || !m_closesOnDeactivation
        || m_clock.now() < m_ignoreDeactivationUntil || m_movingOrResizing)
        return;
    closeAndNotify(Closing::onFocusLoss);
}

void NookaryCenteredWindow::close()
{
    if (m_closing == Closing::no && m_panel->isVisible())
        closeAndNotify(Closing::asked);
}

void NookaryCenteredWindow::endShowGrace()
{
    m_ignoreDeactivationUntil = {};
}

void NookaryCenteredWindow::closeAndNotify(Closing why)
{
    // Hiding an active window deactivates it on the spot: that is this close, not another.
    m_closing = why;
    persistCurrentFrame(true);
    m_panel->hide();
    Q_EMIT closed();
    m_closing = Closing::no;
}

void NookaryCenteredWindow::handleApplicationDeactivated()
{
    closeOnFocusLoss();
}

void NookaryCenteredWindow::showCenteredAndActivate()
{
    m_ignoreDeactivationUntil = m_clock.now() + showGrace;
    applySavedFrameOrCenter();
    // Hidden and shown again before the window system reported the loss of focus, the
    // window is still the one Qt holds focused: the focus coming back is no change to Qt,
    // which would leave the window inactive, its search field without a caret.
    const bool stillQtsFocusWindow
        = m_panel->windowHandle() && QGuiApplication::focusWindow() == m_panel->windowHandle();
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0) // a private call from 6.5 on
    if (stillQtsFocusWindow && !m_panel->isActiveWindow())
        QApplication::setActiveWindow(m_panel);
#else
    Q_UNUSED(stillQtsFocusWindow);
#endif
    QPointer<NookaryCenteredWindow> self(this);
    postToNextTurn(this, [self] {
        if (self)
            self->applySavedFrameOrCenter();
    });
}

void NookaryCenteredWindow::bringForward()
{
    // The loss of focus that may still be on its way is older than this request.
    m_ignoreDeactivationUntil = m_clock.now() + showGrace;
    m_panel->raise();
    m_panel->activateWindow();
}

void NookaryCenteredWindow::prepareHidden()
{
    if (m_panel->isVisible())
        return;
    applySavedFrameOrCenter();
    m_panel->ensurePolished();
    if (QLayout *layout = m_panel->layout())
        layout->activate();
    m_panel->winId();
}

void NookaryCenteredWindow::persistCurrentFrame(bool force)
{
    if (!force && !m_panel->isVisible())
        return;
    // Written now: a move that has not settled yet needs no second write.
    if (force && m_moveResizeTimer) {
        m_moveResizeTimer->stop();
        m_movingOrResizing = false;
    }
    const QRect frame = m_panel->geometry();
    if (!m_session.placesWindows) {
        // Positions read (0, 0) here, and a size the user did not choose (a tile's) would
        // follow the settings to a desktop where it means nothing.
        const auto before = std::exchange(m_sizeBeforeGesture, std::nullopt);
        if (!before || *before == frame.size())
            return;
    } else {
        m_store.setReal(QString::fromLatin1(SK::centeredWindowX.current), frame.x());
        m_store.setReal(QString::fromLatin1(SK::centeredWindowY.current), frame.y());
    }
    m_store.setReal(QString::fromLatin1(SK::centeredWindowWidth.current), frame.width());
    m_store.setReal(QString::fromLatin1(SK::centeredWindowHeight.current), frame.height());
    m_store.setReal(
        QString::fromLatin1(SK::centeredWindowScale.current), m_panel->devicePixelRatioF());
}

void NookaryCenteredWindow::applySavedFrameOrCenter()
{
    QScreen *centring = bestScreenForCentering();
    // A frame written at another scale is not used: the panel opens as on first use.
    const bool frameHolds
        = WindowPlacement::frameHoldsAtScale(stored(m_store, SK::centeredWindowScale),
            centring ? centring->devicePixelRatio() : m_panel->devicePixelRatioF());
    QSize newSize = frameHolds ? m_panel->size() : m_panel->minimumSize();
    if (frameHolds) {
        const auto size = WindowPlacement::savedSize(stored(m_store, SK::centeredWindowWidth),
            stored(m_store, SK::centeredWindowHeight), QSizeF(m_panel->minimumSize()),
            centring ? std::optional(QRectF(centring->availableGeometry())) : std::nullopt);
        if (size)
            newSize = size->toSize();
    }
    // Placing must not count as the user moving it.
    m_panel->removeEventFilter(this);
    m_panel->resize(newSize);
    if (!m_session.placesWindows) {
        m_panel->installEventFilter(this);
        return;
    }

    QList<QRectF> areas;
    for (QScreen *screen : QGuiApplication::screens())
        areas.append(QRectF(screen->availableGeometry()));
    QScreen *main = QGuiApplication::primaryScreen();
    const auto origin = frameHolds
        ? WindowPlacement::savedOrigin(stored(m_store, SK::centeredWindowX),
            stored(m_store, SK::centeredWindowY), QSizeF(newSize), areas,
            main ? std::optional(QRectF(main->availableGeometry())) : std::nullopt)
        : std::nullopt;
    if (origin)
        m_panel->move(origin->toPoint());
    else if (centring)
        m_panel->move(
            WindowPlacement::centred(QRectF(centring->availableGeometry()), QSizeF(newSize))
                .toPoint());
    m_panel->installEventFilter(this);
}

} // namespace nookary
