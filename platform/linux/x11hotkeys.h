#pragma once

#include <QAbstractNativeEventFilter>
#include <QMap>

#include "platform/atomtable.h"
#include "platform/hotkeys.h"

namespace zenrun {

// Global keys grabbed on the X11 root window; presses arrive through Qt's event filter.
// Without an X11 display (offscreen, Wayland without XWayland) registration fails.
class X11HotKeys : public HotKeys, public QAbstractNativeEventFilter {
public:
    X11HotKeys();
    ~X11HotKeys() override;

    int addAtom(const QString& name) override { return atoms_.add(name); }
    void deleteAtom(int atom) override { atoms_.remove(atom); }
    bool registerKey(int id, std::uint32_t virtualKey) override;
    bool unregisterKey(int id) override;
    void setHandler(std::function<void(int id)> handler) override { handler_ = std::move(handler); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // X keysym for a virtual-key code; 0 when the key has none.
    static unsigned long keysymFor(std::uint32_t virtualKey);

private:
    void grab(unsigned keycode, bool on);

    AtomTable atoms_;
    QMap<int, unsigned> keycodes_;  // id -> X keycode
    std::function<void(int)> handler_;
    bool filterInstalled_ = false;
};

}  // namespace zenrun
