// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataControlRules.h"

#include "platform/ClipboardFormats.h"

namespace nookary::datacontrol {

std::optional<QByteArray> textTypeToRead(const QByteArrayList &offered)
{
    for (const QByteArray &type : clipboardformats::textTypes) {
        if (offered.contains(type))
            return type;
    }
    return std::nullopt;
}

bool isMarkedSecret(const QByteArrayList &offered)
{
    return offered.contains(QByteArray(clipboardformats::passwordHintType));
}

void OfferBook::introduce(Id offer)
{
    if (offer && !m_introduced.contains(offer))
        m_introduced.append(offer);
}

QList<OfferBook::Id> OfferBook::selectionChanged(Id offer)
{
    QList<Id> gone = takeStraysBut(offer);
    if (m_current && m_current != offer)
        gone.append(m_current);
    m_current = offer;
    return gone;
}

QList<OfferBook::Id> OfferBook::primarySelectionChanged(Id offer)
{
    QList<Id> gone = takeStraysBut(m_current);
    if (offer && offer != m_current && !gone.contains(offer))
        gone.append(offer);
    return gone;
}

QList<OfferBook::Id> OfferBook::takeAll()
{
    QList<Id> all = takeStraysBut(nullptr);
    if (m_current)
        all.append(std::exchange(m_current, nullptr));
    return all;
}

QList<OfferBook::Id> OfferBook::takeStraysBut(Id kept)
{
    QList<Id> strays;
    for (Id offer : std::as_const(m_introduced)) {
        if (offer != kept && offer != m_current)
            strays.append(offer);
    }
    m_introduced.clear();
    return strays;
}

} // namespace nookary::datacontrol
