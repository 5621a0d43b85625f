#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "core/session.h"
#include "netcfg/dns.h"
#include "platform/hotkeys.h"
#include "settings/settings.h"
#include "settings/settingsform.h"

namespace zenrun::testing {

// The main window's change-line key as the settings reach it: one key under one id, a new
// key replacing the old.
inline Settings::HotKey hotkeyOn(HotKeys& keys) {
    return {[&keys](std::uint32_t key) {
                keys.unregisterKey(0);
                return keys.registerKey(0, key);
            },
            [&keys] { keys.unregisterKey(0); }};
}

// One opening of the dialog: a new form whose creation loads the stored options.
struct Opened {
    std::unique_ptr<TForm7> form = std::make_unique<TForm7>();
    std::unique_ptr<Settings> logic;
};

inline Opened openSettings(Session& session, Registry& registry, Dialogs& dialogs, Dns* dns,
                           HotKeys& keys, bool show = true) {
    Opened o;
    o.logic = std::make_unique<Settings>(session, registry, dialogs, *o.form, dns, hotkeyOn(keys));
    o.logic->FormCreate();
    if (show) o.form->show();
    return o;
}

}  // namespace zenrun::testing
