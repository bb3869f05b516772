// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataControlPasteboard.h"

#include "platform/ClipboardFormats.h"
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
    , m_queue(
          [this](quint64 ticket) {
              m_readTicket = ticket;
              m_readSelection = m_newestSelection;
              QMetaObject::invokeMethod(m_client,
                  [client = m_client, selection = m_readSelection] { client->read(selection); });
          },
          [this] { Q_EMIT readPendingChanged(); })
{
    m_client->setReceiver(
        this,
        [this](quint64 selection, bool own, bool empty) {
            if (!own)
                othersSelection(selection, empty);
        },
        [this](quint64 selection, std::optional<ClipboardContents> contents) {
            // Only the read in flight counts: one that a pause dropped may still come back.
            if (selection != m_readSelection)
                return;
            m_queue.land(m_readTicket, [this, selection, contents = std::move(contents)] {
                if (!contents)
                    return; // replaced before it could be read: the newer one is next
                m_contents = *contents;
                // A Wayland program cannot change an offer it made: the selection names it.
                // An emptied selection names nothing to offer again.
                if (m_contents.text || !m_contents.fileURLs.isEmpty())
                    m_contents.origin = selection;
                countChange(false);
            });
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

void DataControlPasteboard::othersSelection(quint64 selection, bool empty)
{
    const quint64 vanished = std::exchange(m_newestSelection, selection);
    if (empty && !m_paused && !m_queue.isPending()) {
        const qint64 before = m_changeCount;
        Q_EMIT selectionEmptied(vanished);
        if (m_changeCount != before && m_ownChange)
            return; // a copy of ours took the empty selection's place: nothing to read
    }
    if (m_paused) {
        // Nothing of it is read: empty contents stand in. A read in flight is dropped when
        // it lands, as on X11.
        m_queue.noticed();
        m_contents = {};
        countChange(false);
        return;
    }
    m_queue.noticed();
}

void DataControlPasteboard::setReadingPaused(bool paused)
{
    m_paused = paused;
    m_queue.setPaused(paused);
}

void DataControlPasteboard::ownWrite(ClipboardContents contents)
{
    m_queue.ownWrite(); // what another program copied before is no longer there to read
    m_contents = std::move(contents);
    countChange(true);
}

void DataControlPasteboard::countChange(bool own)
{
    m_ownChange = own;
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
    ownWrite({ text, {}, false, false });
    QMetaObject::invokeMethod(
        m_client, [client = m_client, forms = datacontrol::formsForText(text)] {
            client->setSelection(forms);
        });
}

void DataControlPasteboard::writeFileURLs(const QList<QUrl> &urls)
{
    QStringList encoded;
    for (const QUrl &url : urls)
        encoded.append(QString::fromUtf8(url.toEncoded()));
    ownWrite({ clipboardformats::textOfFileURLs(urls), encoded, false, false });
    QMetaObject::invokeMethod(
        m_client, [client = m_client, forms = datacontrol::formsForFileUrls(urls)] {
            client->setSelection(forms);
        });
}

} // namespace nookary
