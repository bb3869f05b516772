// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstanceRequestHandler.h"

#include "app/PanelPresenter.h"
#include "app/SavedSnippetsCommand.h"
#include "model/AppModel.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace nookary {

namespace {

// One compact JSON object per line, in list order.
template <typename Item> QByteArray jsonLines(const QList<Item> &items)
{
    QByteArray out;
    for (const Item &item : items) {
        const QJsonObject object {
            { QLatin1String("id"), item.id.toString(QUuid::WithoutBraces).toUpper() },
            { QLatin1String("text"), item.text },
        };
        out += QJsonDocument(object).toJson(QJsonDocument::Compact);
        out += '\n';
    }
    return out;
}

QByteArray importSaved(AppModel &model, const QByteArray &argument)
{
    const std::optional<QStringList> texts = SavedSnippetsCommand::decodeImportRequest(argument);
    if (!texts)
        return "{\"error\":\"not an array of texts\"}\n";
    return SavedSnippetsCommand::encodeImportReply(model.importSavedSnippets(*texts));
}

} // namespace

InstanceRequestHandler::InstanceRequestHandler(
    AppModel &model, PanelPresenter &presenter, std::function<void()> reopen)
    : m_model(model)
    , m_presenter(presenter)
    , m_reopen(std::move(reopen))
{
}

QByteArray InstanceRequestHandler::handle(
    InstanceChannel::Request request, const QByteArray &argument)
{
    using Request = InstanceChannel::Request;
    switch (request) {
    case Request::history:
        return jsonLines(m_model.clipboardHistory().items());
    case Request::saved:
        return jsonLines(m_model.savedSnippets().items());
    case Request::reopen:
        m_reopen();
        break;
    case Request::toggle:
        m_presenter.toggle();
        break;
    case Request::show:
        m_presenter.showOrBringForward();
        break;
    case Request::hide:
        if (m_presenter.isPanelOpen())
            m_presenter.closeUI();
        break;
    case Request::ping:
        break;
    case Request::importSaved:
        return importSaved(m_model, argument);
    }
    return "ok\n";
}

} // namespace nookary
