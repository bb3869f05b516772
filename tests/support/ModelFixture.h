// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ManualClock.h"
#include "MemoryPasteboard.h"
#include "RecordingPreferencesStore.h"
#include "model/AppModel.h"
#include "platform/qt/SettingsPreferencesStore.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace nookary::test {

// A model over a real settings file in a temporary folder, an in-memory clipboard and a
// clock that moves only when the test advances it.
class ModelFixture {
public:
    ModelFixture() = default;
    // The settings folder inside `parent` (a small disk, say).
    explicit ModelFixture(const QString &parent)
        : m_dir(parent + QStringLiteral("/fixture-XXXXXX"))
    {
    }

    QString settingsPath() const { return m_dir.filePath(QStringLiteral("dorwen/Nookary.conf")); }

    // Writes the settings file as it would be on disk before the program starts.
    void writeSettingsFile(const QByteArray &contents)
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("dorwen")));
        QFile file(settingsPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the test settings file");
        file.write(contents);
    }

    AppModel &start()
    {
        model.reset();
        store = std::make_unique<RecordingPreferencesStore>(
            std::make_unique<SettingsPreferencesStore>(settingsPath()));
        model = std::make_unique<AppModel>(*store, pasteboard, clock);
        return *model;
    }

    // A fresh store over the same file, as the next start would read it.
    std::unique_ptr<SettingsPreferencesStore> reread() const
    {
        return std::make_unique<SettingsPreferencesStore>(settingsPath());
    }

    // Copies each text as another program would, and lets the model see it: the history is
    // newest first, so the last text given ends on top.
    void copyAll(const QStringList &copies)
    {
        for (const QString &text : copies) {
            pasteboard.copyText(text);
            model->clipboardHistory().poll();
        }
    }

    ManualClock clock;
    MemoryPasteboard pasteboard;
    std::unique_ptr<RecordingPreferencesStore> store;
    std::unique_ptr<AppModel> model;

private:
    QTemporaryDir m_dir;
};

// The texts of history entries or snippets, in order.
QStringList texts(const auto &items)
{
    QStringList out;
    for (const auto &item : items)
        out.append(item.text);
    return out;
}

} // namespace nookary::test
