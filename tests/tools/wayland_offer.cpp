// SPDX-License-Identifier: GPL-3.0-or-later
// Another Wayland program's copy, made through data-control as a clipboard tool makes it:
// offers a text (and with --secret the password managers' hint beside it), prints "ready"
// once the compositor took it, and runs until its copy is replaced or it is killed. With
// --silent it takes every request for its data and never writes nor closes the pipe.
#include "wlr-data-control-unstable-v1-client-protocol.h"
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct State {
    wl_seat *seat = nullptr;
    zwlr_data_control_manager_v1 *manager = nullptr;
    std::string text;
    bool silent = false;
    bool cancelled = false;
    std::vector<int> heldOpen;
};

void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    auto *state = static_cast<State *>(data);
    if (!state->seat && std::strcmp(interface, wl_seat_interface.name) == 0)
        state->seat
            = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
        state->manager = static_cast<zwlr_data_control_manager_v1 *>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
}

void globalRemove(void *, wl_registry *, uint32_t) { }

const wl_registry_listener registryListener = { global, globalRemove };

void send(void *data, zwlr_data_control_source_v1 *, const char *mimeType, int32_t fd)
{
    auto *state = static_cast<State *>(data);
    if (state->silent) {
        state->heldOpen.push_back(fd);
        return;
    }
    const std::string bytes
        = std::strcmp(mimeType, "x-kde-passwordManagerHint") == 0 ? "secret" : state->text;
    ssize_t written = 0;
    while (written < ssize_t(bytes.size())) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - size_t(written));
        if (n <= 0)
            break;
        written += n;
    }
    close(fd);
}

void cancelled(void *data, zwlr_data_control_source_v1 *)
{
    static_cast<State *>(data)->cancelled = true;
}

const zwlr_data_control_source_v1_listener sourceListener = { send, cancelled };

} // namespace

int main(int argc, char **argv)
{
    State state;
    bool secret = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--text") == 0 && i + 1 < argc)
            state.text = argv[++i];
        else if (std::strcmp(argv[i], "--secret") == 0)
            secret = true;
        else if (std::strcmp(argv[i], "--silent") == 0)
            state.silent = true;
    }
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "no Wayland display\n");
        return 1;
    }
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &state);
    wl_display_roundtrip(display);
    if (!state.seat || !state.manager) {
        std::fprintf(stderr, "the compositor offers no data-control\n");
        return 1;
    }
    zwlr_data_control_device_v1 *device
        = zwlr_data_control_manager_v1_get_data_device(state.manager, state.seat);
    zwlr_data_control_source_v1 *source
        = zwlr_data_control_manager_v1_create_data_source(state.manager);
    zwlr_data_control_source_v1_add_listener(source, &sourceListener, &state);
    for (const char *type : { "text/plain;charset=utf-8", "text/plain", "UTF8_STRING" })
        zwlr_data_control_source_v1_offer(source, type);
    if (secret)
        zwlr_data_control_source_v1_offer(source, "x-kde-passwordManagerHint");
    zwlr_data_control_device_v1_set_selection(device, source);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);
    while (!state.cancelled && wl_display_dispatch(display) >= 0) { }
    for (int fd : state.heldOpen)
        close(fd);
    wl_display_disconnect(display);
    return 0;
}
