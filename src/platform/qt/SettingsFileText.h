// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace nookary {

// The settings file's bytes as QSettings' INI reader splits them: which key each entry sets,
// and where its lines lie. Nothing is deserialised, so it is safe on any bytes, and it can
// give the file back without some of its entries.
class SettingsFileText final {
public:
    struct Entry {
        // As the file spells it: the bare key in [General], "section/key" elsewhere.
        QString key;
        // The entry's bytes, from its first character to the start of the next line.
        qsizetype begin = 0;
        qsizetype end = 0;
        // The text after "=", trimmed, with backslash line continuations joined.
        QByteArray value;
    };

    explicit SettingsFileText(QByteArray contents);

    const QByteArray &contents() const { return m_contents; }
    const QList<Entry> &entries() const { return m_entries; }

    // The file without the entries at these indexes; everything else byte for byte.
    QByteArray without(const QSet<qsizetype> &indexes) const;
    // A [General] section holding only the entries at these indexes, in file order.
    QByteArray onlyGeneral(const QSet<qsizetype> &indexes) const;

    // A value that QSettings would deserialise with QDataStream ("@Variant(...)", also as a
    // list element) is unsafe when it is large or nests deeply: QDataStream reads nested
    // lists by recursion, and a hostile file would overflow the stack. Values of our own
    // never take this form.
    static bool isUnsafeValue(const QByteArray &value);

private:
    QByteArray m_contents;
    QList<Entry> m_entries;
};

// Reads a settings file only when it is a regular file: a FIFO would block the read for
// good and a device such as /dev/zero would never end.
struct RegularFileRead {
    enum class Status { read, absent, notRegular, unreadable };
    Status status = Status::absent;
    QByteArray contents;
};
RegularFileRead readRegularFile(const QString &path);

} // namespace nookary
