// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

namespace nookary {

// The names Qt files our settings and sockets under; the same in every process of ours.
inline void setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("dorwen"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("dorwen.com"));
    QCoreApplication::setApplicationName(QStringLiteral("Nookary"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NOOKARY_VERSION));
}

} // namespace nookary
