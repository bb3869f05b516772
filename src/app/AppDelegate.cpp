#include "AppDelegate.h"

#include "model/AppModel.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>

namespace nookary {

namespace {

// One compact JSON object per line, in list order.
template <typename Item>
QByteArray jsonLines(const QList<Item> &items)
{
    QByteArray out;
    for (const Item &item : items) {
        const QJsonObject object{
            {QLatin1String("id"), item.id.toString(QUuid::WithoutBraces).toUpper()},
            {QLatin1String("text"), item.text},
        };
        out += QJsonDocument(object).toJson(QJsonDocument::Compact);
        out += '\n';
    }
    return out;
}

} // namespace

AppDelegate::AppDelegate(PlatformServices services, bool launchedFromLoginItem, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_model(std::make_unique<AppModel>(*m_services.preferences, *m_services.pasteboard))
    , m_launchedFromLoginItem(launchedFromLoginItem)
{
    connect(m_model.get(), &AppModel::alertBeep, this, [] { QApplication::beep(); });
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
}

void AppDelegate::applicationShouldHandleReopen()
{
}

QByteArray AppDelegate::handleInstanceRequest(InstanceChannel::Request request)
{
    using Request = InstanceChannel::Request;
    switch (request) {
    case Request::history:
        return jsonLines(m_model->history());
    case Request::saved:
        return jsonLines(m_model->shelf());
    case Request::reopen:
        applicationShouldHandleReopen();
        return "ok\n";
    case Request::toggle:
    case Request::show:
    case Request::hide:
    case Request::ping:
        return "ok\n";
    }
    return {};
}

} // namespace nookary
