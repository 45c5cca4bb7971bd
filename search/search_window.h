#pragma once

#include <string>

#include "data_file.h"
#include "matching.h"

namespace korvallestin {

// The controls a search run works with, one small interface per role. Lengths
// are twips.

class TopLevelWindow {
  public:
    virtual ~TopLevelWindow() = default;
    // Sets the outer height, frame included. A window that cannot take a size
    // now (minimised or maximised) skips it; its controls are still placed.
    virtual void SetOuterHeight(float twips) = 0;
};

class StatusBar {
  public:
    virtual ~StatusBar() = default;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetSimpleText(const std::string& text) = 0;
};

class CommandButton {
  public:
    virtual ~CommandButton() = default;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;
};

// The results list as a run sees it: where the rows it finds go.
class ResultSink {
  public:
    virtual ~ResultSink() = default;
    virtual void ClearRows() = 0;
    // Adds a row of nine cells, field k in column k; it takes its place in
    // the list's current sort order.
    virtual void AddRow(const PostcodeRecord& record) = 0;
    virtual void Refresh() = 0;
};

class Animation {
  public:
    virtual ~Animation() = default;
    virtual bool IsEnabled() const = 0;
    virtual void Play() = 0;  // repeats until stopped
    virtual void Stop() = 0;
};

class MessageBox {
  public:
    virtual ~MessageBox() = default;
    // Modal, with an exclamation icon and a single OK; returns when dismissed.
    virtual void ShowExclamation(const std::string& text, const std::string& title) = 0;
};

class EventQueue {
  public:
    virtual ~EventQueue() = default;
    // Runs every user-interface event already waiting, then returns. Where
    // looking at the system's queue is dear, a yield may leave it unlooked
    // at until a millisecond has passed since the last look.
    virtual void Yield() = 0;
};

class ProgramLocation {
  public:
    virtual ~ProgramLocation() = default;
    // The folder that holds the program's executable file, without a
    // separator at the end.
    virtual std::string ProgramFolder() const = 0;
};

class StartupRoutine {
  public:
    virtual ~StartupRoutine() = default;
    // Puts the window into its start-up state (the window's Form_Load).
    virtual void Form_Load() = 0;
};

// Everything a run touches, as the main window lends it.
struct SearchWindow {
    TopLevelWindow& frmMain;
    StatusBar& sbBar;
    CommandButton& cmdFind;
    CommandButton& cmdStop;
    ResultSink& lvwResults;
    Animation& aniSearch;
    CriteriaControls& criteria;
    MessageBox& messages;
    EventQueue& events;
    ProgramLocation& program;
    StartupRoutine& startup;
};

}  // namespace korvallestin
