// A window that records what the main window's behaviour asks of it.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/ControlTable.h"
#include "app/MainView.h"

namespace zx {

class TFakeMainView final : public IMainView {
public:
    // As designed: captions of the table, boxes unchecked, every control enabled,
    // hidden where the table says so, the home button pressed.
    TFakeMainView() {
        for (const TControlEntry& entry : ControlTable()) {
            Captions[entry.Id] = std::u16string(entry.Caption);
            Checked[entry.Id] = false;
            Enabled[entry.Id] = true;
            Visible[entry.Id] = (entry.Options & coHidden) == 0;
            Pressed[entry.Id] = (entry.Options & coPressed) != 0;
        }
    }

    std::u16string GetCaption(TControlId id) const override { return Captions.at(id); }
    void SetCaption(TControlId id, const std::u16string& caption) override {
        Record("SetCaption", id);
        Captions.at(id) = caption;
    }
    bool IsChecked(TControlId id) const override { return Checked.at(id); }
    void SetChecked(TControlId id, bool checked) override {
        Record("SetChecked", id);
        Checked.at(id) = checked;
    }
    void SetEnabled(TControlId id, bool enabled) override {
        Record("SetEnabled", id);
        Enabled.at(id) = enabled;
    }
    void SetVisible(TControlId id, bool visible) override {
        Record("SetVisible", id);
        Visible.at(id) = visible;
    }
    void SetPressed(TControlId id, bool pressed) override {
        Record("SetPressed", id);
        if (pressed && (id == TControlId::BtnHome || id == TControlId::BtnConfig || id == TControlId::BtnDonate))
            for (const auto other : {TControlId::BtnHome, TControlId::BtnConfig, TControlId::BtnDonate})
                Pressed.at(other) = false;
        Pressed.at(id) = pressed;
    }
    void SetIndicatorActive(bool active) override {
        Events.push_back("SetIndicatorActive");
        IndicatorActive = active;
    }
    void ShowCard(TCard card) override {
        Events.push_back(card == TCard::cdHome ? "ShowCard home" : "ShowCard config");
        Card = card;
    }
    void SetApplicationTitle(const std::u16string& title) override {
        Events.push_back("SetApplicationTitle");
        ApplicationTitle = title;
    }
    void ApplyTheme() override { Events.push_back("ApplyTheme"); }
    void FitLabelFont(TControlId label) override { Record("FitLabelFont", label); }
    void UseDesktopFont() override { Events.push_back("UseDesktopFont"); }
    void ShowErrorMessage(const std::u16string& text, const std::u16string& caption) override {
        Events.push_back("ShowErrorMessage");
        ErrorMessages.emplace_back(text, caption);
    }
    void OpenAddress(const std::u16string& address) override {
        Events.push_back("OpenAddress");
        OpenedAddresses.push_back(address);
    }
    void Close() override {
        Events.push_back("Close");
        Closed = true;
    }

    // Each call as "<operation> <control name>" (or the operation alone), in order.
    std::vector<std::string> Events;
    std::map<TControlId, std::u16string> Captions;
    std::map<TControlId, bool> Checked;
    std::map<TControlId, bool> Enabled;
    std::map<TControlId, bool> Visible;
    std::map<TControlId, bool> Pressed;
    bool IndicatorActive = false;
    TCard Card = TCard::cdHome;
    std::u16string ApplicationTitle;
    std::vector<std::pair<std::u16string, std::u16string>> ErrorMessages; // text, caption
    std::vector<std::u16string> OpenedAddresses;
    bool Closed = false;

private:
    void Record(const char* operation, TControlId id) {
        const std::u16string_view name = FindControl(id).Name;
        Events.push_back(std::string(operation) + " " + std::string(name.begin(), name.end()));
    }
};

} // namespace zx
