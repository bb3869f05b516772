// SPDX-License-Identifier: GPL-3.0-or-later
#include "PasteService.h"

#include "platform/Clock.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPaste, "nookary.paste")

namespace nookary {

PasteService::PasteService(Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
}

PasteService::~PasteService() = default;

void PasteService::paste(Request request)
{
    cancel();
    if (availability() != Availability::available || !canServe(request)) {
        Q_EMIT finished(false);
        return;
    }
    m_request = std::move(request);
    m_deadline = m_clock.now() + giveUpAfter;
    m_nextCheck = m_clock.runAfter(this, checkInterval, [this] { check(); });
}

void PasteService::cancel()
{
    if (m_request)
        finish(false);
}

void PasteService::check()
{
    if (!m_request)
        return;
    if (m_request->choiceOnClipboard && !m_request->choiceOnClipboard()) {
        qCInfo(lcPaste, "Another program copied before the paste: nothing is pasted.");
        finish(false);
        return;
    }
    const bool ownFocus = m_request->ownWindowHasFocus && m_request->ownWindowHasFocus();
    if (!ownFocus && isReady(*m_request)) {
        const Keys keys
            = m_request->keysFor ? m_request->keysFor(windowClass(*m_request)) : Keys::ctrlV;
        m_request.reset();
        if (keys == Keys::none) {
            qCInfo(lcPaste, "The window has no key that pastes the clipboard: nothing is typed.");
            finish(false);
            return;
        }
        finish(send(keys));
        return;
    }
    if (m_clock.now() >= m_deadline) {
        finish(false);
        return;
    }
    m_nextCheck = m_clock.runAfter(this, checkInterval, [this] { check(); });
}

void PasteService::finish(bool sent)
{
    m_nextCheck.cancel();
    m_request.reset();
    Q_EMIT finished(sent);
}

NullPasteService::NullPasteService(Availability why)
    : PasteService(SystemClock::shared())
    , m_why(why)
{
}

} // namespace nookary
