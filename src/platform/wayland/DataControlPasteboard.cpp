// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataControlPasteboard.h"

#include "platform/wayland/DataControlClient.h"

#include <csignal>
#include <utility>

namespace nookary {

std::unique_ptr<DataControlPasteboard> DataControlPasteboard::create()
{
    auto client = DataControlClient::connect();
    if (!client)
        return nullptr;
    std::signal(SIGPIPE, SIG_IGN);
    return std::unique_ptr<DataControlPasteboard>(new DataControlPasteboard(std::move(client)));
}

DataControlPasteboard::DataControlPasteboard(std::unique_ptr<DataControlClient> client)
    : m_client(client.release())
{
    m_client->setReceiver(
        this,
        [this](quint64 selection, bool own) {
            if (!own)
                othersSelection(selection);
        },
        [this](quint64 selection, ClipboardContents contents) {
            // A read that a newer copy, ours or another's, overtook is dropped.
            if (selection == 0 || selection != m_awaitedSelection)
                return;
            m_awaitedSelection = 0;
            m_contents = std::move(contents);
            countChange();
        });
    m_thread.setObjectName(QStringLiteral("clipboard data-control"));
    m_client->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_client, &QObject::deleteLater);
    m_thread.start();
    QMetaObject::invokeMethod(m_client, [client = m_client] { client->start(); });
}

DataControlPasteboard::~DataControlPasteboard()
{
    m_thread.quit();
    m_thread.wait();
}

void DataControlPasteboard::othersSelection(quint64 selection)
{
    m_holdsOwnWrite = false;
    m_awaitedSelection = selection;
    if (m_paused) {
        // Nothing of it is read: an empty copy stands in until reading resumes.
        m_contents = {};
        m_changedWhilePaused = true;
        return;
    }
    read(selection);
}

void DataControlPasteboard::read(quint64 selection)
{
    QMetaObject::invokeMethod(
        m_client, [client = m_client, selection] { client->read(selection); });
}

void DataControlPasteboard::setReadingPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    if (!paused && std::exchange(m_changedWhilePaused, false))
        read(m_awaitedSelection);
}

void DataControlPasteboard::ownWrite(ClipboardContents contents)
{
    m_awaitedSelection = 0; // what another program copied before is no longer wanted
    m_holdsOwnWrite = true;
    m_changedWhilePaused = false;
    m_contents = std::move(contents);
    countChange();
}

void DataControlPasteboard::countChange()
{
    ++m_changeCount;
    Q_EMIT changeCountChanged();
}

void DataControlPasteboard::clear()
{
    ownWrite({});
    QMetaObject::invokeMethod(m_client, [client = m_client] { client->setSelection({}); });
}

void DataControlPasteboard::writeString(const QString &text)
{
    ownWrite({ text, std::nullopt, false, false });
    QMetaObject::invokeMethod(
        m_client, [client = m_client, forms = datacontrol::formsForText(text)] {
            client->setSelection(forms);
        });
}

void DataControlPasteboard::writeFileURL(const QUrl &url)
{
    const QString encoded = QString::fromUtf8(url.toEncoded());
    ownWrite({ encoded, encoded, false, false });
    QMetaObject::invokeMethod(
        m_client, [client = m_client, forms = datacontrol::formsForFileUrl(url)] {
            client->setSelection(forms);
        });
}

} // namespace nookary
