#include "frm_main_roles.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include "animation_control.h"
#include "results_table_view.h"

namespace korvallestin {

frmMain::Roles::Roles(frmMain& window, const QString& program_folder)
    : geometry(window, *window.sbBar_, window.dpi_),
      updates(window.model_, *window.lvwResults_, *window.sbText_),
      status_bar(*window.sbBar_, updates, geometry),
      announced_status_bar(status_bar, *window.announcements_),
      results(window.model_, updates),
      find(*window.cmdFind_),
      stop(*window.cmdStop_),
      animation(*window.aniSearch_),
      criteria(*window.cboSearchType_, *window.txtLocality_, *window.cboState_,
               *window.txtPostCode_),
      messages(window, updates),
      program(program_folder),
      startup([&window] { window.Form_Load(); }) {
    geometry.Attach(ResizedControl::cmdFind, window.cmdFind_);
    geometry.Attach(ResizedControl::cmdStop, window.cmdStop_);
    geometry.Attach(ResizedControl::cmdNew, window.cmdNew_);
    geometry.Attach(ResizedControl::aniSearch, window.aniSearch_);
    geometry.Attach(ResizedControl::imgHelp, window.imgHelp_);
    geometry.Attach(ResizedControl::tbsTabStrip, window.tbsTabStrip_);
    geometry.Attach(ResizedControl::pcbTab1, window.pcbTab1_);
    geometry.Attach(ResizedControl::txtLocality, window.txtLocality_);
    geometry.Attach(ResizedControl::lvwResults, window.lvwResults_.get());
}

SearchWindow frmMain::Roles::ForRun() {
    return SearchWindow{geometry, announced_status_bar,
                        find,     stop,
                        results,  animation,
                        criteria, messages,
                        events,   program,
                        startup};
}

}  // namespace korvallestin
