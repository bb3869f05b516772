// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

struct wl_interface;
struct wl_seat;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_manager_v1;
struct zwlr_data_control_source_v1;

// The data-control protocol goes by two names: the standard `ext_data_control_manager_v1`
// (KDE Plasma 6.5, wlroots 0.19, COSMIC, Mir) and the older wlroots
// `zwlr_data_control_manager_v1`. Both are one interface: the same requests, events and
// arguments in the same order. The client speaks both through the wlroots declarations; only
// the objects it makes itself must carry the interface of the name it bound, so that the
// compositor and the events that follow (each offer) agree on what they are.
namespace nookary::datacontrol {

enum class ProtocolName { standard, wlroots };

struct Protocol {
    ProtocolName name;
    const wl_interface *manager;
    const wl_interface *device;
    const wl_interface *source;
    const wl_interface *offer;
    // The highest version the client uses: the wlroots name's version 2 brings the primary
    // selection, which the standard name has from its first.
    uint32_t maxVersion;
};

const Protocol &protocol(ProtocolName name);

// Which name to bind among those the compositor offers: the standard one where offered.
std::optional<ProtocolName> chooseProtocol(bool standardOffered, bool wlrootsOffered);

// The requests that make an object, made with `protocol`'s interface for it.
zwlr_data_control_device_v1 *getDataDevice(
    const Protocol &protocol, zwlr_data_control_manager_v1 *manager, wl_seat *seat);
zwlr_data_control_source_v1 *createDataSource(
    const Protocol &protocol, zwlr_data_control_manager_v1 *manager);

} // namespace nookary::datacontrol
