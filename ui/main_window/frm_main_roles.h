#pragma once

// The window's part in the search run and the resize rules: one adapter per
// role they work with, each lent the window's own controls. Only the window
// itself (frm_main.cpp) holds one.

#include <QString>

#include "control_adapters.h"
#include "display_adapters.h"
#include "frm_main.h"
#include "search_announcements.h"
#include "search_window.h"
#include "window_geometry.h"

namespace korvallestin {

struct frmMain::Roles {
    Roles(frmMain& window, const QString& program_folder);

    // The roles as the search run takes them.
    SearchWindow ForRun();

    WindowGeometryAdapter geometry;
    ScreenUpdates updates;
    StatusBarAdapter status_bar;
    AnnouncedStatusBar announced_status_bar;
    ResultSinkAdapter results;
    CommandButtonAdapter find;
    CommandButtonAdapter stop;
    AnimationAdapter animation;
    CriteriaAdapter criteria;
    MessageBoxAdapter messages;
    EventQueueAdapter events;
    ProgramLocationAdapter program;
    StartupAdapter startup;
};

}  // namespace korvallestin
