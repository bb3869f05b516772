// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/panel/PanelActions.h"

#include <QStringList>

namespace nookary::test {

// A shell that records what a panel asked of it: the texts chosen apart, every other
// request by name in `calls`.
struct FakePanelActions final : PanelActions {
    bool shown = true;
    QStringList calls;
    QStringList chosen;

    bool isPanelShown() const override { return shown; }
    void choose(const QString &text) override { chosen << text; }
    void openPreferences() override { calls << QStringLiteral("preferences"); }
    void closePanel() override { calls << QStringLiteral("close"); }
    void focusSearch() override { calls << QStringLiteral("focus search"); }
    void endEditingOnNextTurn() override { calls << QStringLiteral("end editing"); }
    void refuse(const QString &why) override { calls << QStringLiteral("refused: ") + why; }
    void openContextMenu() override { calls << QStringLiteral("menu"); }
};

} // namespace nookary::test
