#pragma once

// Whether Caps Lock, Num Lock and Scroll Lock are on, as the keyboard's
// lights show them. Known only where the window system tells it (X11 with
// its keyboard extension); elsewhere every lock reads off.
struct CKeyboardLocks {
    bool m_bKnown = false;
    bool m_bCaps = false;
    bool m_bNum = false;
    bool m_bScroll = false;
};

CKeyboardLocks ReadKeyboardLocks();
