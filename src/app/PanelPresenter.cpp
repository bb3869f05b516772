// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelPresenter.h"

#include "app/NookaryCenteredWindow.h"
#include "app/PopoverWindow.h"
#include "model/AppModel.h"
#include "platform/Clock.h"
#include "platform/MainQueue.h"
#include "platform/StatusItem.h"
#include "ui/NookaryPanel.h"
#include "ui/PanelCard.h"
#include "ui/panel/PanelView.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QRect>
#include <QStyleHints>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace nookary {

namespace {

// Paints `widget` into an image that is thrown away.
void paintOnce(QWidget &widget)
{
    QImage image(
        widget.size().expandedTo(QSize(1, 1)) * widget.devicePixelRatioF(), QImage::Format_RGB32);
    image.setDevicePixelRatio(widget.devicePixelRatioF());
    widget.render(&image);
}

// Runs once when `window` next becomes active, then removes itself.
class ActivationObserver final : public QObject {
public:
    ActivationObserver(QWidget *window, std::function<void()> onActive)
        : QObject(window)
        , m_onActive(std::move(onActive))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate) {
            auto onActive = std::move(m_onActive);
            deleteLater();
            parent()->removeEventFilter(this);
            if (onActive)
                onActive();
        }
        return false;
    }

private:
    std::function<void()> m_onActive;
};

} // namespace

PanelPresenter::PanelPresenter(AppModel &model, PreferencesStore &store, StatusItem *statusItem,
    FocusHandBack &focus, Clock &clock, SessionCapabilities session, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_store(store)
    , m_statusItem(statusItem)
    , m_focus(focus)
    , m_clock(clock)
    , m_session(session)
    , m_popover(std::make_unique<PopoverWindow>())
{
    connect(m_popover.get(), &PopoverWindow::closed, this, &PanelPresenter::popoverClosed);
    connect(&m_focus, &FocusHandBack::anotherWindowActivated, this,
        &PanelPresenter::anotherWindowActivated);
    m_popover->setPressOutsideHandler(
        [this](QPoint at, Qt::MouseButton button) { return takesPressOnTheIcon(at, button); });
    connect(&m_model.settings(), &Settings::keepWindowPinnedChanged, this,
        &PanelPresenter::syncPinnedUIBehavior);
}

PanelPresenter::~PanelPresenter()
{
    delete m_focusOnActivation.data();
}

bool PanelPresenter::isPanelOpen() const
{
    return (m_popover && m_popover->isShown())
        || (m_centeredWindow && m_centeredWindow->isVisible());
}

void PanelPresenter::toggle()
{
    isPanelOpen() ? closeUI() : showUI();
}

void PanelPresenter::showOrBringForward()
{
    if (!isPanelOpen()) {
        showUI();
        return;
    }
    // The popover holds the pointer while it is open: it is always in front. The centred
    // window is asked even when it looks active: the window system may have moved the
    // keyboard on already, in news not yet read.
    if (!m_centeredWindow || !m_centeredWindow->isVisible())
        return;
    if (!m_session.activatesWindows) {
        // Only a newly shown window gets the keyboard there: shown anew, where it stood.
        if (m_centeredWindow->panel()->isActiveWindow())
            return;
        m_suppressFinalizeOnce = true; // no hand-back between the two
        m_centeredWindow->close();
        showUI();
        return;
    }
    m_focus.noteOpening();
    m_centeredWindow->bringForward();
}

void PanelPresenter::statusItemClicked()
{
    m_lastIconClick = m_clock.now();
    if (!isPanelOpen() && isClickThatClosedPopover())
        return;
    toggle();
}

bool PanelPresenter::takesPressOnTheIcon(QPoint at, Qt::MouseButton button)
{
    // The popover holds the pointer, so presses on the tray icon come here first; as over
    // the centred window, a right click opens the icon's menu over the panel, and the
    // second press of a double-click (the click opened it) is no second click.
    const QRect icon = m_statusItem ? m_statusItem->geometry() : QRect();
    if (!icon.isValid() || icon.isEmpty() || !icon.contains(at))
        return false;
    if (button == Qt::RightButton) {
        m_statusItem->popUpMenu(at);
        return true;
    }
    const auto doubleClick
        = std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    return button == Qt::LeftButton && m_lastIconClick
        && m_clock.now() - *m_lastIconClick < doubleClick;
}

bool PanelPresenter::isClickThatClosedPopover()
{
    // Qt hands the press that closed a popup on to our own window under it, here the tray
    // icon, which would open the popover again at once. Only that press is ignored: a later
    // click, or one after a press elsewhere closed it, toggles as usual.
    const auto click = std::exchange(m_popoverClosingClick, std::nullopt);
    if (!click)
        return false;
    constexpr auto sameClick = std::chrono::milliseconds(300);
    if (m_clock.now() - click->when >= sameClick)
        return false;
    const QRect icon = m_statusItem ? m_statusItem->geometry() : QRect();
    return !icon.isValid() || icon.isEmpty() || icon.contains(click->where);
}

bool PanelPresenter::isPanelWindow(const QWidget *window) const
{
    return window
        && (window == m_popover.get() || (m_centeredWindow && window == m_centeredWindow->panel()));
}

bool PanelPresenter::isPanelWindowId(quint64 windowId) const
{
    const QWidget *panels[]
        = { m_popover.get(), m_centeredWindow ? m_centeredWindow->panel() : nullptr };
    for (const QWidget *panel : panels) {
        if (panel && panel->testAttribute(Qt::WA_WState_Created)
            && panel->internalWinId() == WId(windowId))
            return true;
    }
    return false;
}

bool PanelPresenter::closesOnFocusLoss() const
{
    return (m_popover && m_popover->isShown())
        || (m_centeredWindow && m_centeredWindow->isVisible()
            && m_centeredWindow->closesOnDeactivation());
}

QWidget *PanelPresenter::makeRootView()
{
    return new PanelCard(new PanelView(m_model, *this, m_clock));
}

void PanelPresenter::choose(const QString &text)
{
    if (text.isEmpty())
        return;
    Q_EMIT entryChosen(text);
    // A pinned window stays for the next choice.
    if (m_model.settings().openPresentation() == AppModel::OpenPresentation::centeredWindow
        && m_model.settings().keepWindowPinned())
        focusSearch();
    else
        closeUI();
}

void PanelPresenter::focusSearch()
{
    for (PanelView *view : views())
        view->focusSearch();
}

void PanelPresenter::endEditingOnNextTurn()
{
    postToNextTurn(this, [] {
        if (QWidget *focused = QApplication::focusWidget())
            focused->clearFocus();
    });
}

void PanelPresenter::refuse(const QString &why)
{
    QApplication::beep();
    if (PanelView *view = shownView())
        view->tell(why);
}

void PanelPresenter::openContextMenu()
{
    if (PanelView *view = shownView())
        view->openContextMenuForSelection();
}

QList<PanelView *> PanelPresenter::views() const
{
    QList<PanelView *> views;
    for (QWidget *window : { static_cast<QWidget *>(m_popover.get()),
             m_centeredWindow ? static_cast<QWidget *>(m_centeredWindow->panel()) : nullptr }) {
        if (window)
            views += window->findChildren<PanelView *>();
    }
    return views;
}

PanelView *PanelPresenter::shownView() const
{
    for (PanelView *view : views()) {
        if (view->window()->isVisible())
            return view;
    }
    return nullptr;
}

void PanelPresenter::showUI()
{
    m_focus.noteOpening();
    m_model.applyDefaultOpenTarget();
    QPointer<PanelPresenter> self(this);
    postToNextTurn(this, [self] {
        if (!self)
            return;
        if (self->opensCenteredWindow())
            self->showCenteredWindowAndArmFocus();
        else
            self->showPopoverAndArmFocus();
    });
}

bool PanelPresenter::opensCenteredWindow() const
{
    if (m_model.settings().openPresentation() == AppModel::OpenPresentation::centeredWindow)
        return true;
    if (m_session.placesWindows)
        return false; // at the pointer when the tray gives no place
    const QRect anchor = m_statusItem ? m_statusItem->geometry() : QRect();
    return !anchor.isValid() || anchor.isEmpty();
}

void PanelPresenter::showPopoverAndArmFocus()
{
    syncPinnedUIBehavior();
    if (m_popover->isShown())
        return;
    m_popover->setContent(makeRootView());
    const QRect anchor = m_statusItem ? m_statusItem->geometry() : QRect();
    m_popover->showAt(anchor);
    m_popoverShownAt = m_clock.now();
    armFocusOnActivation(m_popover.get());
    if (m_popover->isActiveWindow())
        requestSearchFocusRobust();
}

void PanelPresenter::showCenteredWindowAndArmFocus()
{
    ensureCenteredWindow();
    syncPinnedUIBehavior();
    m_centeredWindow->showCenteredAndActivate();
}

void PanelPresenter::ensureCenteredWindow()
{
    if (m_centeredWindow)
        return;
    m_centeredWindow
        = std::make_unique<NookaryCenteredWindow>(m_store, makeRootView(), m_clock, m_session);
    connect(m_centeredWindow.get(), &NookaryCenteredWindow::windowActivated, this, [this] {
        // Coming back to an open snippet editor (a pinned window, after fetching text
        // from another application) keeps typing there: Qt gives the editor its focus back.
        if (m_model.savedSnippets().editingID().isNull())
            requestSearchFocusRobust();
    });
    connect(m_centeredWindow.get(), &NookaryCenteredWindow::closed, this,
        &PanelPresenter::centeredWindowClosed);
}

void PanelPresenter::prepareFirstOpen()
{
    // What a first opening would otherwise pay (building the views, polishing them, the
    // native window, loading fonts and icons) is paid here, hidden, on idle turns, after
    // the start's own work (its first requests and copies) has been answered.
    m_clock.runAfter(this, prepareAfterStart, [this] {
        if (opensCenteredWindow()) {
            runWhenIdle({
                [this] { ensureCenteredWindow(); },
                [this] { m_centeredWindow->prepareHidden(); },
                [this] { paintOnce(*m_centeredWindow->panel()); },
            });
        } else {
            // The popover takes a new view each time it opens; one painted and thrown
            // away leaves the styles, fonts and icons loaded.
            runWhenIdle({
                [this] { m_popover->winId(); },
                [this] {
                    const std::unique_ptr<QWidget> view(makeRootView());
                    view->resize(view->sizeHint());
                    paintOnce(*view);
                },
            });
        }
    });
}

void PanelPresenter::runWhenIdle(std::deque<std::function<void()>> steps)
{
    // A zero timer fires once the window system's pending events are handled; one step per
    // turn lets a request or a copy arriving meanwhile wait for one step at most. An
    // opening that comes first makes the rest pointless.
    if (steps.empty())
        return;
    QPointer<PanelPresenter> self(this);
    QTimer::singleShot(0, this, [self, steps = std::move(steps)]() mutable {
        if (!self || self->isPanelOpen())
            return;
        steps.front()();
        steps.pop_front();
        self->runWhenIdle(std::move(steps));
    });
}

void PanelPresenter::requestSearchFocusRobust()
{
    // Again a turn later: the window manager may hand the keys over only then.
    focusSearch();
    QPointer<PanelPresenter> self(this);
    postToNextTurn(this, [self] {
        if (self)
            self->focusSearch();
    });
}

void PanelPresenter::armFocusOnActivation(QWidget *window)
{
    delete m_focusOnActivation.data();
    QPointer<PanelPresenter> self(this);
    m_focusOnActivation = new ActivationObserver(window, [self] {
        if (self)
            self->requestSearchFocusRobust();
    });
}

void PanelPresenter::closeUI()
{
    m_model.panelState().setQuery(QString());
    const bool popoverShown = m_popover && m_popover->isShown();
    const bool centredShown = m_centeredWindow && m_centeredWindow->isVisible();
    if (popoverShown) {
        // Its hide reports popoverClosed, which finishes the close.
        m_closingPopover = true;
        m_popover->hide();
        m_closingPopover = false;
    }
    if (centredShown) {
        m_closingWithoutKeyboard = !m_centeredWindow->panel()->isActiveWindow();
        m_centeredWindow->close(); // reports centeredWindowClosed
        return;
    }
    if (popoverShown)
        return;
    finishClose(FocusHandBack::CloseCause::requested);
}

void PanelPresenter::popoverClosed()
{
    using Cause = FocusHandBack::CloseCause;
    const bool byClickOutside = !m_closingPopover;
    m_popoverClosingClick.reset();
    std::optional<QPoint> closingClick;
    if (byClickOutside && m_popover->closingPress()) {
        m_popoverClosingClick = ClosingClick { m_clock.now(), *m_popover->closingPress() };
        closingClick = *m_popover->closingPress();
    }
    m_model.panelState().setQuery(QString());
    finishClose(byClickOutside ? Cause::focusLost : Cause::requested, closingClick);
}

void PanelPresenter::anotherWindowActivated()
{
    // The popover holds the keyboard as popups do, so a window another program activates
    // would get none of the typing: it gives way, and nothing is handed back over that
    // window. Just after showing, the activation of the window it opened over may still be
    // on its way: the front is looked at again once that is past.
    if (!m_popover->isShown())
        return;
    if (m_clock.now() < m_popoverShownAt + NookaryCenteredWindow::showGrace) {
        m_popoverGraceCheck = m_clock.runAfter(this, NookaryCenteredWindow::showGrace, [this] {
            if (m_popover->isShown() && m_focus.anotherApplicationInFront())
                anotherWindowActivated();
        });
        return;
    }
    m_focus.forget();
    m_popover->hide();
}

void PanelPresenter::centeredWindowClosed()
{
    using Cause = FocusHandBack::CloseCause;
    m_model.panelState().setQuery(QString());
    const bool withoutKeyboard = std::exchange(m_closingWithoutKeyboard, false);
    finishClose((m_centeredWindow && m_centeredWindow->isClosingOnFocusLoss()) || withoutKeyboard
            ? Cause::focusLost
            : Cause::requested);
}

void PanelPresenter::finishClose(
    FocusHandBack::CloseCause cause, std::optional<QPoint> closingClick)
{
    if (m_suppressFinalizeOnce) {
        m_suppressFinalizeOnce = false;
        return;
    }
    m_focus.handBackAfterClose(cause, closingClick);
}

void PanelPresenter::syncPinnedUIBehavior()
{
    const bool pinned
        = m_model.settings().openPresentation() == AppModel::OpenPresentation::centeredWindow
        && m_model.settings().keepWindowPinned();
    if (m_centeredWindow) {
        m_centeredWindow->setClosesOnDeactivation(!pinned);
        if (!pinned)
            m_centeredWindow->endShowGrace();
    }
}

} // namespace nookary
