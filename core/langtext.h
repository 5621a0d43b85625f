#pragma once

#include <QString>

#include "core/session.h"
#include "core/textutil.h"

namespace zenrun {

// The three-language rule: English for language 2, the Chinese form converted to traditional
// characters for language 3, the Chinese form otherwise. The Chinese literal is the only
// Chinese form in the code.
inline QString langtext(int langindex, const QString& english, const QString& chinese) {
    if (langindex == 2) return english;
    if (langindex == 3) return totraditional(chinese);
    return chinese;
}
inline QString langtext(const Session& s, const QString& english, const QString& chinese) {
    return langtext(s.langindex, english, chinese);
}

}  // namespace zenrun
