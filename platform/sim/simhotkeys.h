#pragma once

#include <QMap>

#include "platform/atomtable.h"
#include "platform/hotkeys.h"

namespace zenrun {

class SimHotKeys : public HotKeys {
public:
    int addAtom(const QString& name) override { return atoms_.add(name); }
    void deleteAtom(int atom) override { atoms_.remove(atom); }
    bool registerKey(int id, std::uint32_t virtualKey) override;
    bool unregisterKey(int id) override { return keys_.remove(id) > 0; }
    void setHandler(std::function<void(int id)> handler) override { handler_ = std::move(handler); }

    // Driving API: a press of a key; returns whether a registered key took it.
    bool press(std::uint32_t virtualKey);
    QMap<int, std::uint32_t> registered() const { return keys_; }

private:
    AtomTable atoms_;
    QMap<int, std::uint32_t> keys_;
    std::function<void(int)> handler_;
};

}  // namespace zenrun
