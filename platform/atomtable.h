#pragma once

#include <QHash>
#include <QString>

namespace zenrun {

// Process-local stand-in for global atoms: a name gets a value from 0xC000 up and keeps it
// while it is referenced.
class AtomTable {
public:
    int add(const QString& name) {
        auto it = byName_.find(name);
        if (it == byName_.end()) it = byName_.insert(name, {next_++, 0});
        ++it->refs;
        return it->value;
    }
    void remove(int atom) {
        for (auto it = byName_.begin(); it != byName_.end(); ++it) {
            if (it->value == atom) {
                if (--it->refs <= 0) byName_.erase(it);
                return;
            }
        }
    }

private:
    struct Atom {
        int value;
        int refs;
    };
    QHash<QString, Atom> byName_;
    int next_ = 0xC000;
};

}  // namespace zenrun
