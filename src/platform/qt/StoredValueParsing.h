// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <optional>

// How the settings store reads the values a settings file holds, whoever wrote them: text
// read as a number or a switch the way the first versions of the file were, bytes QSettings
// misreads, and text no QSettings wrote. Nothing here touches the file itself.
namespace nookary::storedvalue {

// Like NSString.integerValue: leading spaces, an optional sign, then as many digits as there
// are; anything else gives 0. Saturates instead of overflowing.
qint64 integerFromText(QStringView s);
// Like NSString.boolValue: true on a leading Y, y, T, t or a non-zero digit.
bool booleanFromText(QStringView s);
// Like NSString.doubleValue: the longest leading decimal number, else 0.
double realFromText(QStringView s);

bool isNumber(const QVariant &v);
qint64 saturatedInteger(double d);

// The text after "key=" of the entry in use (QSettings keeps the last of repeated lines) for
// each key in `wanted`, with QSettings' backslash line continuations joined.
QHash<QString, QByteArray> valueLines(const QByteArray &contents, const QSet<QString> &wanted);

bool hasNonAscii(const QByteArray &bytes);

// The bytes of a "@ByteArray(...)" value whose line holds bytes outside ASCII, which
// QSettings itself writes as \x escapes. It reads such bytes as UTF-8 text and then keeps
// only the Latin-1 part of that text, so the line is spelled with escapes throughout and
// read back by QSettings' own parser.
std::optional<QByteArray> bytesAsWritten(const QByteArray &line);

// About what QSettings writes for a value: bytes and characters outside printable ASCII
// become escapes of up to six characters.
qint64 writtenSize(const QVariant &value);

// Text that is not UTF-8, or that holds control characters, was not written by QSettings.
bool looksDamaged(const QByteArray &bytes);

} // namespace nookary::storedvalue
