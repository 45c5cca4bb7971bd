#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "search_run.h"
#include "search_window.h"

namespace korvallestin::testing {

// The main window as a search run sees it, recording every call in order.
// Its Yield plays the user: actions scheduled for the n-th yield run there.
class FakeSearchWindow : public TopLevelWindow,
                         public StatusBar,
                         public ResultSink,
                         public Animation,
                         public CriteriaControls,
                         public MessageBox,
                         public EventQueue,
                         public ProgramLocation,
                         public StartupRoutine {
  public:
    class Button : public CommandButton {
      public:
        Button(FakeSearchWindow& owner, std::string name, bool enabled)
            : owner_(owner), name_(std::move(name)), enabled_(enabled) {}
        void SetEnabled(bool enabled) override {
            owner_.Log(name_ + (enabled ? ".enable" : ".disable"));
            enabled_ = enabled;
        }
        bool IsEnabled() const override { return enabled_; }

      private:
        FakeSearchWindow& owner_;
        std::string name_;
        bool enabled_;
    };

    explicit FakeSearchWindow(std::string program_folder) : folder(std::move(program_folder)) {}

    SearchWindow Controls() {
        return SearchWindow{*this, *this, cmdFind, cmdStop, *this, *this,
                            *this, *this, *this,   *this,   *this};
    }
    // Runs `action` inside the n-th yield of the next run (counted from 1).
    void OnYield(int n, std::function<void()> action) { scripted[n] = std::move(action); }

    void SetOuterHeight(float twips) override { Log("height=" + std::to_string(int(twips))); }
    void SetVisible(bool visible) override {
        status_visible = visible;
        Log(visible ? "status.show" : "status.hide");
    }
    void SetSimpleText(const std::string& text) override {
        status_text = text;
        Log("status=" + text);
    }
    void ClearRows() override {
        rows.clear();
        Log("rows.clear");
    }
    void AddRow(const PostcodeRecord& record) override {
        rows.push_back(record);
        Log("row " + record.Postcode + " " + record.Locality);
    }
    void Refresh() override { Log("refresh"); }
    bool IsEnabled() const override { return animation_enabled; }
    void Play() override { Log("ani.play"); }
    void Stop() override { Log("ani.stop"); }
    std::string PostCodeText() const override { return postcode; }
    std::string StateText() const override { return state; }
    std::string LocalityText() const override { return locality; }
    int SearchTypeIndex() const override { return search_type; }
    void ShowExclamation(const std::string& text, const std::string& title) override {
        messages.push_back(title + ": " + text);
        Log("message");
    }
    void Yield() override {
        ++yields;
        Log("yield");
        if (auto it = scripted.find(yields); it != scripted.end()) {
            it->second();
        }
    }
    std::string ProgramFolder() const override { return folder; }
    void Form_Load() override {
        Log("Form_Load");
        status_visible = false;
        postcode.clear();
        state.clear();
        locality.clear();
        search_type = 0;
        rows.clear();
    }

    void Log(std::string entry) { log.push_back(std::move(entry)); }
    int Count(const std::string& entry) const {
        int n = 0;
        for (const auto& e : log) {
            n += e == entry ? 1 : 0;
        }
        return n;
    }

    std::string folder;
    Button cmdFind{*this, "find", true};
    Button cmdStop{*this, "stop", false};
    bool animation_enabled = true;
    bool status_visible = false;
    std::string status_text;
    std::string postcode, state, locality;
    int search_type = 0;
    std::vector<PostcodeRecord> rows;
    std::vector<std::string> messages;
    std::vector<std::string> log;
    int yields = 0;
    std::map<int, std::function<void()>> scripted;
};

}  // namespace korvallestin::testing
