#include "platform/linux/x11hotkeys.h"

#include <QGuiApplication>

// X11 headers define macros (None, Bool, Status) that clash with Qt's: include them last.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace zenrun {

namespace {
Display* display() {
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->display() : nullptr;
}

// Num Lock and Caps Lock must not stop the key from working.
constexpr unsigned kLockCombos[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};
}  // namespace

X11HotKeys::X11HotKeys() = default;

X11HotKeys::~X11HotKeys() {
    for (const unsigned kc : keycodes_) grab(kc, false);
    if (filterInstalled_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

unsigned long X11HotKeys::keysymFor(std::uint32_t vk) {
    if (vk >= 0x70 && vk <= 0x87) return XK_F1 + (vk - 0x70);
    if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
    if (vk >= '0' && vk <= '9') return XK_0 + (vk - '0');
    if (vk >= 0x60 && vk <= 0x69) return XK_KP_0 + (vk - 0x60);
    switch (vk) {
        case 0x13: return XK_Pause;
        case 0x20: return XK_space;
        case 0x21: return XK_Prior;
        case 0x22: return XK_Next;
        case 0x23: return XK_End;
        case 0x24: return XK_Home;
        case 0x2D: return XK_Insert;
        case 0x2E: return XK_Delete;
        default: return 0;
    }
}

void X11HotKeys::grab(unsigned keycode, bool on) {
    Display* d = display();
    if (!d) return;
    const Window root = DefaultRootWindow(d);
    for (const unsigned mods : kLockCombos) {
        if (on) XGrabKey(d, static_cast<int>(keycode), mods, root, False, GrabModeAsync, GrabModeAsync);
        else XUngrabKey(d, static_cast<int>(keycode), mods, root);
    }
    XSync(d, False);
}

bool X11HotKeys::registerKey(int id, std::uint32_t virtualKey) {
    Display* d = display();
    const unsigned long sym = keysymFor(virtualKey);
    if (!d || sym == 0 || keycodes_.contains(id)) return false;
    const unsigned kc = XKeysymToKeycode(d, sym);
    if (kc == 0) return false;
    for (const unsigned used : keycodes_)
        if (used == kc) return false;
    if (!filterInstalled_) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        filterInstalled_ = true;
    }
    grab(kc, true);
    keycodes_.insert(id, kc);
    return true;
}

bool X11HotKeys::unregisterKey(int id) {
    const auto it = keycodes_.find(id);
    if (it == keycodes_.end()) return false;
    grab(*it, false);
    keycodes_.erase(it);
    return true;
}

bool X11HotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* ev = static_cast<xcb_generic_event_t*>(message);
    if ((ev->response_type & ~0x80) != XCB_KEY_PRESS) return false;
    const auto* kp = static_cast<xcb_key_press_event_t*>(message);
    for (auto it = keycodes_.cbegin(); it != keycodes_.cend(); ++it) {
        if (it.value() == kp->detail) {
            if (handler_) handler_(it.key());
            return true;
        }
    }
    return false;
}

}  // namespace zenrun
