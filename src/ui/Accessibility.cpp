// SPDX-License-Identifier: GPL-3.0-or-later
#include "Accessibility.h"

#include "core/TextDirection.h"

#include "ui/onboarding/PracticeSegmentsView.h"
#include "ui/panel/PanelWidgets.h"
#include "ui/panel/RowFrame.h"
#include "ui/panel/ShelfRow.h"
#include "ui/preferences/SegmentedControl.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QHash>
#include <QLayout>
#include <QPointer>
#include <QWidget>

namespace nookary::Accessibility {

namespace {

const char *const kRoleProperty = "nookaryAccessibleRole";
const char *const kKeyboardHomeProperty = "nookaryKeyboardHome";
const char *const kInTreeProperty = "nookaryPopupInTree";

// Whether the control whose focus the selected row stands for has the focus in `window`.
bool keyboardHomeHasFocus(const QWidget *window)
{
    const QWidget *focused = QApplication::focusWidget();
    return focused && focused->window() == window
        && focused->property(kKeyboardHomeProperty).toBool();
}

// The application, whose windows Qt lists without its popups (menus come and go, and
// readers follow them by their events): a popup that stays open to be worked in, as the
// panel's popover does, is listed too, so that a reader can explore it.
class ApplicationAccessible final : public QAccessibleApplication {
public:
    int childCount() const override
    {
        return QAccessibleApplication::childCount() + int(popups().size());
    }
    QAccessibleInterface *child(int index) const override
    {
        const int windows = QAccessibleApplication::childCount();
        if (index < windows)
            return QAccessibleApplication::child(index);
        const QList<QWidget *> shown = popups();
        return index - windows < shown.size()
            ? QAccessible::queryAccessibleInterface(shown[index - windows])
            : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const int window = QAccessibleApplication::indexOfChild(child);
        if (window >= 0 || !child)
            return window;
        const qsizetype popup = popups().indexOf(qobject_cast<QWidget *>(child->object()));
        return popup < 0 ? -1 : QAccessibleApplication::childCount() + int(popup);
    }

private:
    static QList<QWidget *> popups()
    {
        QList<QWidget *> out;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && top->windowType() == Qt::Popup
                && top->property(kInTreeProperty).toBool())
                out << top;
        }
        return out;
    }
};

// A widget whose children, for readers, are the widgets `shown()` names rather than all its
// child widgets.
class ChosenChildrenAccessible : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    int childCount() const override { return int(shown().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> list = shown();
        return index >= 0 && index < list.size()
            ? QAccessible::queryAccessibleInterface(list[index])
            : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(shown().indexOf(qobject_cast<QWidget *>(child->object()))) : -1;
    }

protected:
    virtual QList<QWidget *> shown() const = 0;
};

// A panel row: a list item named by its text (the column names it), selectable, and
// focused while it is the selection the keys move. Its text is drawn by a child of its own,
// which a reader need not see twice; a snippet's handle and buttons are its parts.
class RowAccessible final : public ChosenChildrenAccessible {
public:
    explicit RowAccessible(RowFrame *row)
        : ChosenChildrenAccessible(row, QAccessible::ListItem)
    {
    }

    RowFrame *row() const { return static_cast<RowFrame *>(widget()); }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.focusable = true;
        s.selected = row()->isSelected();
        const auto *shelfRow = qobject_cast<const ShelfRow *>(row());
        s.focused = s.selected && keyboardHomeHasFocus(row()->window())
            && !(shelfRow && shelfRow->isEditing());
        return s;
    }

    QStringList actionNames() const override
    {
        return { QAccessibleActionInterface::pressAction(),
            QAccessibleActionInterface::showMenuAction() };
    }
    void doAction(const QString &name) override
    {
        if (name == QAccessibleActionInterface::pressAction())
            Q_EMIT row()->clicked();
        else if (name == QAccessibleActionInterface::showMenuAction())
            Q_EMIT row()->contextMenuRequested(row()->mapToGlobal(row()->rect().center()));
    }

protected:
    QList<QWidget *> shown() const override
    {
        if (auto *shelfRow = qobject_cast<ShelfRow *>(row())) {
            QList<QWidget *> out { shelfRow->dragHandle() };
            if (shelfRow->editor())
                out << shelfRow->editor();
            // The edit and delete buttons, shown under the pointer.
            return out << shelfRow->editButton()->parentWidget();
        }
        return {};
    }
};

// A plain widget given the role of a list: its shown children in the order of its layout
// (rows are hidden, not destroyed, when the filter leaves them out).
class ListAccessible final : public ChosenChildrenAccessible {
public:
    explicit ListAccessible(QWidget *widget)
        : ChosenChildrenAccessible(widget, QAccessible::List)
    {
    }

protected:
    QList<QWidget *> shown() const override
    {
        QList<QWidget *> out;
        if (QLayout *layout = widget()->layout()) {
            for (int i = 0; i < layout->count(); ++i) {
                QWidget *w = layout->itemAt(i)->widget();
                if (w && !w->isHidden())
                    out << w;
            }
        }
        return out;
    }
};

// A painted control that works like a button: it emits `clicked()`. What it draws inside
// is its name, not parts of its own.
class ClickableAccessible final : public QAccessibleWidget {
public:
    explicit ClickableAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::Button)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = widget()->focusPolicy() & Qt::TabFocus;
        return s;
    }
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QStringList actionNames() const override
    {
        return { QAccessibleActionInterface::pressAction() };
    }
    void doAction(const QString &name) override
    {
        if (name == QAccessibleActionInterface::pressAction())
            QMetaObject::invokeMethod(widget(), "clicked");
    }
};

// An area only the pointer uses (the invisible window handles): nothing for a reader.
class HiddenAccessible final : public QAccessibleWidget {
public:
    explicit HiddenAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::Client)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        return s;
    }
};

// The practice presses so far, as a progress bar of five.
class PracticeAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit PracticeAccessible(PracticeSegmentsView *view)
        : QAccessibleWidget(view, QAccessible::ProgressBar)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override
    {
        return static_cast<PracticeSegmentsView *>(widget())->filled();
    }
    void setCurrentValue(const QVariant &) override { }
    QVariant maximumValue() const override { return PracticeSegmentsView::segmentCount; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

// One segment of a segmented control: a radio button of the group, checked when chosen.
class SegmentAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    SegmentAccessible(SegmentedControl *control, int index)
        : m_control(control)
        , m_index(index)
    {
    }

    bool isValid() const override { return m_control && m_index < m_control->segments().size(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        return m_control ? m_control->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_control.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? m_control->segments().at(m_index) : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = m_control->segmentRect(m_index);
        return { m_control->mapToGlobal(local.topLeft()), local.size() };
    }
    QAccessible::Role role() const override { return QAccessible::RadioButton; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.checkable = true;
        s.focusable = true;
        const bool current = m_control->currentIndex() == m_index;
        s.checked = current;
        s.focused = current && m_control->hasFocus();
        s.disabled = !m_control->isEnabled();
        s.invisible = !m_control->isVisible();
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
            ? static_cast<QAccessibleActionInterface *>(this)
            : nullptr;
    }
    QStringList actionNames() const override
    {
        return { QAccessibleActionInterface::pressAction() };
    }
    void doAction(const QString &name) override
    {
        if (name == QAccessibleActionInterface::pressAction() && isValid())
            m_control->choose(m_index);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<SegmentedControl> m_control;
    int m_index;
};

// A segmented control: a group of radio buttons, the chosen one checked and, while the
// control has focus, focused.
class SegmentedAccessible final : public QAccessibleWidget {
public:
    explicit SegmentedAccessible(SegmentedControl *control)
        : QAccessibleWidget(control, QAccessible::Grouping)
    {
    }
    ~SegmentedAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_children))
            QAccessible::deleteAccessibleInterface(id);
    }

    SegmentedControl *control() const { return static_cast<SegmentedControl *>(widget()); }

    int childCount() const override { return int(control()->segments().size()); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (const QAccessible::Id id = m_children.value(index))
            return QAccessible::accessibleInterface(id);
        auto *segment = new SegmentAccessible(control(), index);
        m_children.insert(index, QAccessible::registerAccessibleInterface(segment));
        return segment;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (auto it = m_children.cbegin(); it != m_children.cend(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        }
        return -1;
    }
    QAccessibleInterface *focusChild() const override
    {
        return control()->hasFocus() ? child(control()->currentIndex()) : nullptr;
    }

private:
    mutable QHash<int, QAccessible::Id> m_children;
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (object == QCoreApplication::instance())
        return new ApplicationAccessible;
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("nookary::RowFrame"))
        return new RowAccessible(static_cast<RowFrame *>(widget));
    if (className == QLatin1String("nookary::AddShelfRow")
        || className == QLatin1String("nookary::ShortcutField"))
        return new ClickableAccessible(widget);
    if (className == QLatin1String("nookary::WindowDragHandle")
        || className == QLatin1String("nookary::WindowResizeHandle"))
        return new HiddenAccessible(widget);
    if (className == QLatin1String("nookary::ShortcutBadge"))
        return new QAccessibleWidget(widget, QAccessible::StaticText);
    if (className == QLatin1String("nookary::PracticeSegmentsView"))
        return new PracticeAccessible(static_cast<PracticeSegmentsView *>(widget));
    if (className == QLatin1String("nookary::SegmentedControl"))
        return new SegmentedAccessible(static_cast<SegmentedControl *>(widget));
    // A role given by `setRole` replaces the interface of the widget's own class.
    const QVariant role = widget->property(kRoleProperty);
    if (role.isValid() && className == QLatin1String(widget->metaObject()->className())) {
        if (role.toInt() == QAccessible::List)
            return new ListAccessible(widget);
        return new QAccessibleWidget(widget, QAccessible::Role(role.toInt()));
    }
    return nullptr;
}

} // namespace

void install()
{
    static bool installed = false;
    if (std::exchange(installed, true))
        return;
    QAccessible::installFactory(factory);
    // A reader may have asked for the application before the factory was there: the one
    // made then gives way to ours.
    QAccessibleInterface *application
        = QAccessible::queryAccessibleInterface(QCoreApplication::instance());
    if (application && !dynamic_cast<ApplicationAccessible *>(application))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(application));
}

void setRole(QWidget *widget, QAccessible::Role role)
{
    install();
    widget->setProperty(kRoleProperty, int(role));
}

void setName(QWidget *widget, const QString &text)
{
    widget->setAccessibleName(TextDirection::withoutMarks(text));
}

void setDescription(QWidget *widget, const QString &text)
{
    widget->setAccessibleDescription(TextDirection::withoutMarks(text));
}

void setKeyboardHome(QWidget *control)
{
    install();
    control->setProperty(kKeyboardHomeProperty, true);
}

void keepPopupInTree(QWidget *popup)
{
    install();
    popup->setProperty(kInTreeProperty, true);
}

void announceNotification(QWidget *notification)
{
    if (!QAccessible::isActive() || !notification || !notification->isVisible())
        return;
    // Readers speak a notification as it comes into sight: it comes again.
    QAccessibleEvent hidden(notification, QAccessible::ObjectHide);
    QAccessible::updateAccessibility(&hidden);
    QAccessibleEvent shown(notification, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void announceFocus(QWidget *widget)
{
    if (!QAccessible::isActive() || !widget)
        return;
    QAccessibleEvent event(widget, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

void announceFocus(QWidget *widget, int child)
{
    if (!QAccessible::isActive() || !widget)
        return;
    QAccessibleEvent event(widget, QAccessible::Focus);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
}

void announceState(QWidget *widget, QAccessible::State changed)
{
    if (!QAccessible::isActive() || !widget)
        return;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

} // namespace nookary::Accessibility
