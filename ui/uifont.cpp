#include "ui/uifont.h"

#include <QFontDatabase>

namespace zenrun {

namespace {
// Simplified before traditional: the WenQuanYi and Noto faces cover both scripts, and the
// order only matters where a face lacks a glyph.
constexpr const char* kCjkFamilies[] = {
    "WenQuanYi Micro Hei", "WenQuanYi Zen Hei",  "Noto Sans CJK SC",
    "Noto Sans CJK TC",    "Source Han Sans SC", "Source Han Sans TC",
};
}  // namespace

QStringList uifamilies(const QString& first) {
    QStringList families;
    auto add = [&families](const QString& family) {
        if (!family.isEmpty() && !families.contains(family, Qt::CaseInsensitive))
            families << family;
    };
    add(first);
    for (const char* family : kCjkFamilies) add(QString::fromLatin1(family));
    add(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    add(QStringLiteral("Sans Serif"));
    return families;
}

QFont uifont(const QString& first, int pixelSize) {
    QFont font;
    font.setFamilies(uifamilies(first));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace zenrun
