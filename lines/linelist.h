#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "core/linerecord.h"
#include "ui/framebar.h"

class QComboBox;

namespace zenrun {

class IniDocument;
struct Platform;
struct Session;
class Tfrmmain;
class LineView;

// The line list and its areas: the area and line selectors, the frame bar of area titles,
// filling the line list of one area, the name search, the refresh from the back-end, and
// the last area and line restored at start.
class LineList {
public:
    LineList(Session& session, Platform& platform, Tfrmmain& form, LineView& view);

    // Reads one line of the list ("address,rate,l2tp,type"); nothing for an empty value.
    static std::optional<ps> parseline(const QString& name, const QString& value, int langindex);
    // The records of one area of a list, in order, of the lines whose name contains `filter`
    // (case-sensitive; all for an empty filter). A repeated name reads its first value.
    static std::vector<ps> records(const IniDocument& list, const QString& area,
                                   const QString& filter, int langindex);

    // Fills the area lists and the frame bar and restores the saved selection. Raises when
    // no area ends up selected (no areas, or a saved index beyond the list) and lets
    // registry errors through: the caller falls back to the first area.
    void loadareas();
    // Fills the list with the lines of one area whose name contains `filter` (all for an
    // empty filter). False, with a message, while a batch speed test runs.
    bool filllines(const QString& area, const QString& filter);
    void areatitleclick(FrameBar::Item* item, const QString& filter);
    void AreaTxt2Change();
    void AreaTxtChange();
    void N14Click();
    void linenamesearchClick();
    // The first-show fallback: the first area and its lines.
    void selectFirstArea();

private:
    void fillareas();
    void fillkeys(const QString& area);
    void addtitles(bool searchTitles);
    void addselectedtitle(bool searchTitles);
    FrameBar::Item* addtitle(const QString& caption, bool searchTitles);
    int savedindex(const QString& valueName) const;
    void selectindex(QComboBox* combo, int index) const;
    void refusebusy();

    Session& session_;
    Platform& platform_;
    Tfrmmain& form_;
    LineView& view_;
    QString shownArea_;  // the area whose lines the list shows
};

}  // namespace zenrun
