#pragma once

#include <QString>
#include <QUuid>

namespace nookary {

// One saved snippet. Persisted as {"id": UUID string, "text": string}.
struct ShelfItem
{
    QUuid id;
    QString text;

    friend bool operator==(const ShelfItem &, const ShelfItem &) = default;
};

} // namespace nookary
