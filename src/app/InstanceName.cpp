// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstanceName.h"

#include <QCryptographicHash>

#include <algorithm>

namespace nookary {

namespace {

// The value of Qt's own option `name` ("-name value" or "--name value"), as QGuiApplication
// reads it.
QString optionValue(const QStringList &arguments, QStringView name)
{
    QString value;
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        QStringView argument = arguments[i];
        if (argument == u"--")
            break;
        if (argument.startsWith(u"--"))
            argument = argument.sliced(1);
        if (argument.startsWith(u'-') && argument.sliced(1) == name)
            value = arguments[++i]; // the last one given counts
    }
    return value;
}

bool isWaylandSessionQtUses(const QProcessEnvironment &environment)
{
    // Qt 6.4 keeps to X11 under GNOME's Wayland session, through XWayland.
    const QString desktop = (environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")) + u':'
        + environment.value(QStringLiteral("XDG_SESSION_DESKTOP")))
                                .toLower();
    return (environment.contains(QStringLiteral("WAYLAND_DISPLAY"))
               || environment.value(QStringLiteral("XDG_SESSION_TYPE")) == u"wayland")
        && !desktop.contains(u"gnome");
}

QString x11Display(const QProcessEnvironment &environment, const QStringList &arguments)
{
    QString display = optionValue(arguments, u"display");
    if (display.isEmpty())
        display = environment.value(QStringLiteral("DISPLAY"));
    // "host:display.screen": one display whatever the screen. Spelled out rather than a
    // regular expression: every command line and every start names its instance.
    const auto digits = [](QStringView text) {
        return !text.isEmpty()
            && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    };
    const qsizetype dot = display.lastIndexOf(u'.');
    const qsizetype colon = dot < 0 ? -1 : display.lastIndexOf(u':', dot);
    if (colon >= 0 && digits(QStringView(display).sliced(dot + 1))
        && digits(QStringView(display).sliced(colon + 1, dot - colon - 1)))
        display.truncate(dot);
    return display;
}

QString waylandDisplay(const QProcessEnvironment &environment)
{
    QString display = environment.value(QStringLiteral("WAYLAND_DISPLAY"));
    if (display.isEmpty())
        display = QStringLiteral("wayland-0"); // what libwayland connects to then
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && display.startsWith(runtime + u'/'))
        display = display.sliced(runtime.size() + 1);
    return display;
}

QString safeName(const QString &name)
{
    // Each character (a surrogate pair is one) outside [A-Za-z0-9._:-] becomes '_'.
    QString safe;
    safe.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool kept = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')
            || (c >= u'0' && c <= u'9') || c == u'.' || c == u'_' || c == u':' || c == u'-';
        safe += kept ? QChar(c) : QChar(u'_');
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate())
            ++i;
    }
    if (safe.size() <= 40)
        return safe;
    // A socket's path is short (108 bytes): a long name (a socket path given as the display)
    // is kept apart from others by its hash.
    return safe.left(16) + u'-'
        + QString::fromLatin1(
            QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
}

} // namespace

QString InstanceName::forSession(
    const QProcessEnvironment &environment, const QStringList &arguments)
{
    QString platforms = optionValue(arguments, u"platform");
    if (platforms.isEmpty())
        platforms = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    if (platforms.isEmpty())
        platforms = isWaylandSessionQtUses(environment) ? QStringLiteral("wayland;xcb")
                                                        : QStringLiteral("xcb");
    // "wayland;xcb": the first whose display is there; "xcb:option=value": the plugin's name.
    const QStringList candidates = platforms.split(u';', Qt::SkipEmptyParts);
    QString platform = candidates.value(0).section(u':', 0, 0);
    for (const QString &candidate : candidates) {
        const QString name = candidate.section(u':', 0, 0);
        if ((name.startsWith(u"wayland") && environment.contains(QStringLiteral("WAYLAND_DISPLAY")))
            || (name == u"xcb" && !x11Display(environment, arguments).isEmpty())) {
            platform = name;
            break;
        }
    }
    if (platform == u"xcb")
        return safeName(QStringLiteral("x11-") + x11Display(environment, arguments));
    if (platform.startsWith(u"wayland"))
        return safeName(QStringLiteral("wl-") + waylandDisplay(environment));
    // Qt's other platforms (offscreen, vnc, eglfs...) have one display each.
    return safeName(platform);
}

} // namespace nookary
