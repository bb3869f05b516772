// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardContentsReader.h"

#include <QObject>

namespace nookary {

// Keeps a copy on the clipboard after the program that made it is gone, as the desktop's
// clipboard manager: programs that quit hand their clipboard over to it, and it tells when an
// owner vanished without doing so. It decides nothing about the contents; its keeper does.
class ClipboardManager : public QObject {
    Q_OBJECT

public:
    // The decisions. Every call comes on the main thread.
    class Keeper {
    public:
        virtual ~Keeper() = default;

        // False refuses an exiting program's hand-over before anything of it is read.
        virtual bool acceptsHandOver() const = 0;
        // What the exiting program offered. True: the keeper wrote it to the clipboard, which
        // this program now owns; false refuses the hand-over.
        virtual bool keepHandedOver(const ClipboardContents &contents) = 0;
        // The clipboard's owner went away without handing over (it did not clear the
        // clipboard on purpose; that leaves it empty and is not reported). `origin` names
        // its taking of the clipboard as `ClipboardContents::origin` does; 0 if unknown.
        virtual void ownerVanished(quint64 origin) = 0;
    };

    using QObject::QObject;
    ~ClipboardManager() override = default;

    // Takes the role unless another clipboard manager holds it, and then takes it once that
    // one leaves. `keeper` must outlive this object, or `stop()`.
    virtual void start(Keeper &keeper) = 0;
    // Gives the role up and refuses hand-overs still being read. It must happen before the
    // application object goes: Qt's own hand-over at exit would otherwise ask this very
    // program and wait for an answer that cannot come.
    virtual void stop() = 0;
};

// For sessions without clipboard managers: keeps nothing.
class NullClipboardManager final : public ClipboardManager {
public:
    void start(Keeper &) override { }
    void stop() override { }
};

} // namespace nookary
