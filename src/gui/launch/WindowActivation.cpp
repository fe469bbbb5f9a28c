#include "gui/launch/WindowActivation.h"

#include "gui/launch/ProcessFamily.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>
#include <xcb/xcb.h>

namespace quarvo::gui {

namespace {

// More top-level windows than any desktop shows; the client list is read in one request.
constexpr uint32_t MaxClientWindows = 4096;
// _NET_ACTIVE_WINDOW's source indication for a pager, which window managers honour as the user's own
// request; an application's request (1) may only make the window ask for attention.
constexpr uint32_t SourceIsPager = 2;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t atomNamed(xcb_connection_t* connection, std::string_view name)
{
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.data()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The 32-bit items of a reply to GetProperty, none when the property is missing or of another form.
std::vector<uint32_t> propertyItems(const xcb_get_property_reply_t* reply)
{
    if (!reply || reply->format != 32)
        return {};
    const auto* items = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    return {items, items + xcb_get_property_value_length(reply) / sizeof(uint32_t)};
}

std::vector<xcb_window_t> clientWindows(xcb_connection_t* connection, xcb_window_t root)
{
    xcb_atom_t clientList = atomNamed(connection, "_NET_CLIENT_LIST");
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, clientList, XCB_ATOM_WINDOW, 0, MaxClientWindows),
        nullptr));
    return propertyItems(reply.get());
}

// Each window's _NET_WM_PID (0 for a window without one); all requests go out before the first
// answer is awaited, so the round trips overlap.
std::vector<pid_t> windowProcesses(xcb_connection_t* connection, const std::vector<xcb_window_t>& windows)
{
    xcb_atom_t processProperty = atomNamed(connection, "_NET_WM_PID");
    std::vector<xcb_get_property_cookie_t> requests;
    for (xcb_window_t window : windows)
        requests.push_back(xcb_get_property(connection, 0, window, processProperty, XCB_ATOM_CARDINAL, 0, 1));
    std::vector<pid_t> processes;
    for (xcb_get_property_cookie_t request : requests) {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, request, nullptr));
        std::vector<uint32_t> items = propertyItems(reply.get());
        processes.push_back(items.empty() ? 0 : pid_t(items.front()));
    }
    return processes;
}

// A window of pid itself, else one of its family's; XCB_WINDOW_NONE when there is none.
xcb_window_t windowOfProcess(pid_t pid, const std::vector<xcb_window_t>& windows,
                             const std::vector<pid_t>& processes)
{
    for (size_t index = 0; index < windows.size(); ++index)
        if (processes[index] == pid)
            return windows[index];
    std::set<pid_t> family = familyOf(pid, currentParents());
    for (size_t index = 0; index < windows.size(); ++index)
        if (family.count(processes[index]))
            return windows[index];
    return XCB_WINDOW_NONE;
}

// Asks the window manager to activate window (which also restores it when minimised) and maps it, the
// ICCCM's way back from the iconic state for window managers that ignore the request.
void activate(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atomNamed(connection, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = SourceIsPager;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_map_window(connection, window);
    xcb_flush(connection);
}

} // namespace

bool activateWindowOfProcess(qint64 pid)
{
    if (pid <= 0 || QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    // The first screen's root: Qt opens one X screen, and the client list lives on its root window.
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    std::vector<xcb_window_t> windows = clientWindows(connection, root);
    xcb_window_t window = windowOfProcess(pid_t(pid), windows, windowProcesses(connection, windows));
    if (window == XCB_WINDOW_NONE)
        return false;
    activate(connection, root, window);
    return true;
}

} // namespace quarvo::gui
