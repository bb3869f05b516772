// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/SnippetTransfer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace nookary {

// `Nookary --export-saved [FILE]` and `Nookary --import-saved [--lines] FILE`: the saved
// snippets of the running instance, or, where none runs, of the settings file. An import
// goes through the running instance when there is one, since its next write would
// otherwise replace what was imported. Each returns the exit status; a bad file changes
// nothing and says why on standard error.
namespace SavedSnippetsCommand {

// FILE empty or "-": standard output.
int exportSaved(const QString &file);
// FILE "-": standard input.
int importSaved(const QString &file, bool lines);

// The import on the channel: its texts, and the instance's answer.
QByteArray encodeImportRequest(const QStringList &texts);
std::optional<QStringList> decodeImportRequest(const QByteArray &argument);
QByteArray encodeImportReply(const SnippetTransfer::ImportResult &result);
std::optional<SnippetTransfer::ImportResult> decodeImportReply(const QByteArray &reply);

} // namespace SavedSnippetsCommand

} // namespace nookary
