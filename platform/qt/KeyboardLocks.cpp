#include "KeyboardLocks.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

// The keyboard extension's header names a field "explicit", which C++ reserves.
#define explicit xkb_explicit // NOLINT(clang-diagnostic-keyword-macro)
#include <xcb/xkb.h>
#undef explicit

namespace {

template <typename Reply>
using CReply = std::unique_ptr<Reply, decltype(&std::free)>;

// The indicator bits of the three locks, looked up once by their names.
struct CIndicatorBits {
    std::uint32_t m_nCaps = 0;
    std::uint32_t m_nNum = 0;
    std::uint32_t m_nScroll = 0;
};

std::string AtomName(xcb_connection_t* pConnection, xcb_atom_t atom) {
    CReply<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(pConnection, xcb_get_atom_name(pConnection, atom), nullptr),
        &std::free);
    if (!reply)
        return {};
    return {xcb_get_atom_name_name(reply.get()),
            static_cast<std::size_t>(xcb_get_atom_name_name_length(reply.get()))};
}

CIndicatorBits FindIndicatorBits(xcb_connection_t* pConnection) {
    CIndicatorBits bits;
    CReply<xcb_xkb_get_names_reply_t> reply(
        xcb_xkb_get_names_reply(pConnection,
                                xcb_xkb_get_names(pConnection, XCB_XKB_ID_USE_CORE_KBD,
                                                  XCB_XKB_NAME_DETAIL_INDICATOR_NAMES),
                                nullptr),
        &std::free);
    if (!reply)
        return bits;
    xcb_xkb_get_names_value_list_t list{};
    xcb_xkb_get_names_value_list_unpack(xcb_xkb_get_names_value_list(reply.get()), reply->nTypes,
                                        reply->indicators, reply->virtualMods, reply->groupNames,
                                        reply->nKeys, reply->nKeyAliases, reply->nRadioGroups,
                                        reply->which, &list);
    int named = 0;
    for (int bit = 0; bit < 32; ++bit) {
        if ((reply->indicators & (1u << bit)) == 0)
            continue;
        const std::string name = AtomName(pConnection, list.indicatorNames[named++]);
        if (name == "Caps Lock")
            bits.m_nCaps = 1u << bit;
        else if (name == "Num Lock")
            bits.m_nNum = 1u << bit;
        else if (name == "Scroll Lock")
            bits.m_nScroll = 1u << bit;
    }
    return bits;
}

} // namespace

CKeyboardLocks ReadKeyboardLocks() {
    CKeyboardLocks locks;
    auto* pX11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                    : nullptr;
    xcb_connection_t* pConnection = pX11 != nullptr ? pX11->connection() : nullptr;
    if (pConnection == nullptr)
        return locks;

    static bool s_bReady = false;
    static CIndicatorBits s_bits;
    if (!s_bReady) {
        CReply<xcb_xkb_use_extension_reply_t> use(
            xcb_xkb_use_extension_reply(
                pConnection,
                xcb_xkb_use_extension(pConnection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
                nullptr),
            &std::free);
        if (!use || use->supported == 0)
            return locks;
        s_bits = FindIndicatorBits(pConnection);
        s_bReady = true;
    }
    CReply<xcb_xkb_get_indicator_state_reply_t> state(
        xcb_xkb_get_indicator_state_reply(
            pConnection, xcb_xkb_get_indicator_state(pConnection, XCB_XKB_ID_USE_CORE_KBD),
            nullptr),
        &std::free);
    if (!state)
        return locks;
    locks.m_bKnown = true;
    locks.m_bCaps = (state->state & s_bits.m_nCaps) != 0;
    locks.m_bNum = (state->state & s_bits.m_nNum) != 0;
    locks.m_bScroll = (state->state & s_bits.m_nScroll) != 0;
    return locks;
}
