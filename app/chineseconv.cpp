#include "app/textutil.h"

// Placeholder until the character tables are wired in: text passes unchanged.
namespace zenrun {

int getsyslang() { return 1; }
QString totraditional(const QString& text) { return text; }
QString tosimplified(const QString& text) { return text; }

}  // namespace zenrun
