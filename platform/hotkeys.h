#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace zenrun {

// One system-wide key without modifiers, identified by an id the caller derives from
// a global atom. Key codes are Windows virtual-key codes (0x70 = F1, 0x41 = 'A' ...),
// the codes the settings store.
class HotKeys {
public:
    virtual ~HotKeys() = default;
    // Global atoms: the value for a name (0xC000 and up), and its release.
    virtual int addAtom(const QString& name) = 0;
    virtual void deleteAtom(int atom) = 0;
    virtual bool registerKey(int id, std::uint32_t virtualKey) = 0;
    virtual bool unregisterKey(int id) = 0;
    // Called on the UI thread with the id of the key that was pressed.
    virtual void setHandler(std::function<void(int id)> handler) = 0;
};

}  // namespace zenrun
