// SPDX-License-Identifier: GPL-3.0-or-later
#include "PasteAfterChoosing.h"

#include "app/FocusHandBack.h"
#include "model/AppModel.h"
#include "model/PasteKeys.h"
#include "platform/PasteService.h"
#include "platform/Pasteboard.h"

namespace nookary {

PasteAfterChoosing::PasteAfterChoosing(AppModel &model, Pasteboard &pasteboard,
    PasteService &service, FocusHandBack &focus, std::function<bool()> ownWindowHasFocus,
    QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_pasteboard(pasteboard)
    , m_service(service)
    , m_focus(focus)
    , m_ownWindowHasFocus(std::move(ownWindowHasFocus))
{
    connect(&m_focus, &FocusHandBack::panelOpening, &m_service, &PasteService::cancel);
    m_model.setPasteAvailability(m_service.availability());
}

void PasteAfterChoosing::entryCopied()
{
    const bool pinned
        = m_model.settings().openPresentation() == AppModel::OpenPresentation::centeredWindow
        && m_model.settings().keepWindowPinned();
    if (!m_model.settings().pasteAfterChoosing() || pinned)
        return;
    PasteService::Request request;
    request.target = m_focus.previousApp();
    request.ownWindowHasFocus = m_ownWindowHasFocus;
    request.choiceOnClipboard = [this] { return m_pasteboard.holdsOwnWrite(); };
    request.keysFor = [this](const QStringList &windowClass) {
        return PasteKeys::forWindowClass(windowClass, m_model.settings().pasteTerminalClasses());
    };
    m_service.paste(std::move(request));
}

} // namespace nookary
