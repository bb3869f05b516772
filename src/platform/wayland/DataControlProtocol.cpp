// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataControlProtocol.h"

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"
#include <wayland-client.h>

namespace nookary::datacontrol {

// The client sends the standard name's requests and takes its events through the wlroots
// declarations: that holds only while both number them alike and take the same listeners.
static_assert(EXT_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE
    == ZWLR_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE);
static_assert(
    EXT_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE == ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE);
static_assert(EXT_DATA_CONTROL_MANAGER_V1_DESTROY == ZWLR_DATA_CONTROL_MANAGER_V1_DESTROY);
static_assert(
    EXT_DATA_CONTROL_DEVICE_V1_SET_SELECTION == ZWLR_DATA_CONTROL_DEVICE_V1_SET_SELECTION);
static_assert(EXT_DATA_CONTROL_DEVICE_V1_DESTROY == ZWLR_DATA_CONTROL_DEVICE_V1_DESTROY);
static_assert(EXT_DATA_CONTROL_DEVICE_V1_SET_PRIMARY_SELECTION
    == ZWLR_DATA_CONTROL_DEVICE_V1_SET_PRIMARY_SELECTION);
static_assert(EXT_DATA_CONTROL_SOURCE_V1_OFFER == ZWLR_DATA_CONTROL_SOURCE_V1_OFFER);
static_assert(EXT_DATA_CONTROL_SOURCE_V1_DESTROY == ZWLR_DATA_CONTROL_SOURCE_V1_DESTROY);
static_assert(EXT_DATA_CONTROL_OFFER_V1_RECEIVE == ZWLR_DATA_CONTROL_OFFER_V1_RECEIVE);
static_assert(EXT_DATA_CONTROL_OFFER_V1_DESTROY == ZWLR_DATA_CONTROL_OFFER_V1_DESTROY);
static_assert(
    sizeof(ext_data_control_device_v1_listener) == sizeof(zwlr_data_control_device_v1_listener));
static_assert(
    sizeof(ext_data_control_source_v1_listener) == sizeof(zwlr_data_control_source_v1_listener));
static_assert(
    sizeof(ext_data_control_offer_v1_listener) == sizeof(zwlr_data_control_offer_v1_listener));

const Protocol &protocol(ProtocolName name)
{
    static const Protocol standard { ProtocolName::standard, &ext_data_control_manager_v1_interface,
        &ext_data_control_device_v1_interface, &ext_data_control_source_v1_interface,
        &ext_data_control_offer_v1_interface, 1 };
    static const Protocol wlroots { ProtocolName::wlroots, &zwlr_data_control_manager_v1_interface,
        &zwlr_data_control_device_v1_interface, &zwlr_data_control_source_v1_interface,
        &zwlr_data_control_offer_v1_interface, 2 };
    return name == ProtocolName::standard ? standard : wlroots;
}

std::optional<ProtocolName> chooseProtocol(bool standardOffered, bool wlrootsOffered)
{
    if (standardOffered)
        return ProtocolName::standard;
    if (wlrootsOffered)
        return ProtocolName::wlroots;
    return std::nullopt;
}

zwlr_data_control_device_v1 *getDataDevice(
    const Protocol &protocol, zwlr_data_control_manager_v1 *manager, wl_seat *seat)
{
    auto *proxy = reinterpret_cast<wl_proxy *>(manager);
    return reinterpret_cast<zwlr_data_control_device_v1 *>(
        wl_proxy_marshal_flags(proxy, ZWLR_DATA_CONTROL_MANAGER_V1_GET_DATA_DEVICE, protocol.device,
            wl_proxy_get_version(proxy), 0, nullptr, seat));
}

zwlr_data_control_source_v1 *createDataSource(
    const Protocol &protocol, zwlr_data_control_manager_v1 *manager)
{
    auto *proxy = reinterpret_cast<wl_proxy *>(manager);
    return reinterpret_cast<zwlr_data_control_source_v1 *>(
        wl_proxy_marshal_flags(proxy, ZWLR_DATA_CONTROL_MANAGER_V1_CREATE_DATA_SOURCE,
            protocol.source, wl_proxy_get_version(proxy), 0, nullptr));
}

} // namespace nookary::datacontrol
