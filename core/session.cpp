#include "core/session.h"

namespace zenrun {

Session& Session::instance() {
    static Session session;
    return session;
}

}  // namespace zenrun
