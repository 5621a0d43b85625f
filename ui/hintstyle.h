#pragma once

#include <QProxyStyle>

namespace zenrun {

// Hint timing of the client: a hint shows at once, moving to a neighbouring control shows
// its hint within 100 ms. (Qt hides a hint after about 10 s by itself.)
class HintStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override {
        if (hint == SH_ToolTip_WakeUpDelay) return 0;
        if (hint == SH_ToolTip_FallAsleepDelay) return 100;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace zenrun
