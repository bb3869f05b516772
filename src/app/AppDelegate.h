#pragma once

#include "app/InstanceChannel.h"
#include "platform/PlatformServices.h"

#include <QObject>

#include <memory>

namespace nookary {

class AppModel;

// The hub of the running program: owns the platform services and the one model, and
// answers what other command lines ask of the running instance.
class AppDelegate final : public QObject
{
    Q_OBJECT

public:
    AppDelegate(PlatformServices services, bool launchedFromLoginItem, QObject *parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    // The user started Nookary again while it runs.
    void applicationShouldHandleReopen();

    QByteArray handleInstanceRequest(InstanceChannel::Request request);

    AppModel &model() { return *m_model; }
    bool launchedFromLoginItem() const { return m_launchedFromLoginItem; }

private:
    PlatformServices m_services;
    std::unique_ptr<AppModel> m_model;
    const bool m_launchedFromLoginItem;
};

} // namespace nookary
