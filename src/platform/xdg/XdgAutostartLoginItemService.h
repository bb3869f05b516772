// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LoginItemService.h"

#include <QString>

#include <optional>

namespace nookary {

// The login launcher as an XDG autostart entry, `<autostart folder>/<id>.desktop`, which
// the session runs at login. The entry runs the launcher by its absolute path and names the
// same path as TryExec, so an entry whose launcher has gone counts as not registered, as it
// does for the session. An entry disabled by hand (Hidden=true, or
// X-GNOME-Autostart-enabled=false) counts as not registered either.
class XdgAutostartLoginItemService final : public LoginItemService {
public:
    // The launcher's desktop-entry id, which names the entry.
    static inline const QString launcherBundleID = QStringLiteral("com.dorwen.NookaryLauncher");

    XdgAutostartLoginItemService(QString autostartFolder, QString launcherPath);

    // $XDG_CONFIG_HOME/autostart.
    static QString defaultAutostartFolder();
    // The launcher beside this program in the install (or build) tree, where the build put
    // it: <prefix>/libexec/nookary/NookaryLauncher for <prefix>/bin/Nookary by default.
    static QString defaultLauncherPath();

    QString entryPath() const;
    // The contents `registerLoginItem` writes.
    QByteArray entryContents() const;

    bool isRegistered() const override;
    // Writes the entry through a temporary file renamed into place, so the session never
    // reads half an entry; a folder that cannot be made or written is a failure.
    bool registerLoginItem() override;
    bool unregisterLoginItem() override;

    // An enabled entry written by an earlier install names its launcher by an absolute path;
    // when that launcher is gone (the layout moved it), the entry is written anew for this
    // install's launcher, so launch at login keeps working. An entry turned off by hand,
    // naming another program, or whose launcher still exists is left as it is. Returns the
    // path the entry named before, when it was rewritten.
    std::optional<QString> followMovedLauncher();

private:
    QString m_folder;
    QString m_launcherPath;
};

} // namespace nookary
