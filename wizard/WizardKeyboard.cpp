// The keyboard without a window: which control has the focus, the Tab order, Enter and Escape,
// and the mnemonic letters, all read from the control table.
#include <algorithm>
#include <cctype>

#include "wizard/WizardModel.h"

namespace {

using I = ControlId;

}  // namespace

// A control can take the focus when it is on the shown page (or on the form), shown and enabled.
bool WizardModel::Usable(ControlId id) const {
    if (id == I::None || !TakesFocus(Control(id).kind)) return false;
    const ControlState& state = State(id);
    return state.visible && state.enabled && (state.page == kOnForm || state.page == page_);
}

// The focus goes to the control when it can take it. Otherwise it stays where it was, unless
// that control went away with its page: then the page's first tab stop takes it, so the
// keyboard never talks to a hidden field.
void WizardModel::FocusIfPossible(ControlId id) {
    if (Usable(id)) {
        focus_ = id;
    } else if (!Usable(focus_)) {
        std::vector<ControlId> stops = TabStops();
        focus_ = stops.empty() ? I::None : stops.front();
    } else {
        return;
    }
    ++focusRequests_;
}

void WizardModel::FocusMoved(ControlId id) {
    if (id != I::None) focus_ = id;
}

// The shown page's controls and the form's, labels included, in keyboard order.
std::vector<ControlId> WizardModel::KeyboardOrder() const {
    std::vector<ControlId> order;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        ControlId id = static_cast<ControlId>(i);
        int page = State(id).page;
        if (page == page_ || page == kOnForm) order.push_back(id);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](ControlId a, ControlId b) { return KeyboardRank(a) < KeyboardRank(b); });
    return order;
}

std::vector<ControlId> WizardModel::TabStops() const {
    std::vector<ControlId> stops = KeyboardOrder();
    stops.erase(std::remove_if(stops.begin(), stops.end(), [&](ControlId id) { return !Usable(id); }),
                stops.end());
    return stops;
}

ControlId WizardModel::DefaultButton() const {
    if (Usable(focus_) && Control(focus_).kind == ControlKind::Button) return focus_;
    return Usable(I::NextButton) ? I::NextButton : I::None;
}

void WizardModel::MoveFocus(int direction) {
    std::vector<ControlId> stops = TabStops();
    if (stops.empty()) return;
    int count = static_cast<int>(stops.size());
    auto at = std::find(stops.begin(), stops.end(), focus_);
    int next = at == stops.end() ? (direction > 0 ? 0 : count - 1)
                                 : (static_cast<int>(at - stops.begin()) + direction + count) % count;
    FocusIfPossible(stops[static_cast<std::size_t>(next)]);
}

void WizardModel::KeyPress(WizardKey key) {
    if (!AcceptsInput()) return;
    switch (key) {
        case WizardKey::Enter:
            Click(DefaultButton());
            break;
        case WizardKey::Escape:
            CancelClick();
            break;
        case WizardKey::Tab:
            MoveFocus(+1);
            break;
        case WizardKey::BackTab:
            MoveFocus(-1);
            break;
    }
}

// A label's mnemonic counts while its field can take the focus.
bool WizardModel::MnemonicReaches(ControlId id) const {
    const ControlDef& def = Control(id);
    if (def.kind != ControlKind::Label) return Usable(id);
    const ControlState& state = State(id);
    return state.visible && state.enabled && Usable(def.focusTarget);
}

void WizardModel::PressMnemonic(ControlId id) {
    const ControlDef& def = Control(id);
    if (def.kind == ControlKind::Label) {
        FocusIfPossible(def.focusTarget);
        return;
    }
    FocusIfPossible(id);
    if (def.kind == ControlKind::CheckBox)
        SetChecked(id, !State(id).checked);
    else if (def.kind == ControlKind::Button)
        Click(id);
}

bool WizardModel::MnemonicKey(char16_t character, bool alt) {
    if (!AcceptsInput() || character > 0x7F) return false;
    if (!alt) {
        ControlKind kind = Usable(focus_) ? Control(focus_).kind : ControlKind::Edit;
        if (kind != ControlKind::Button && kind != ControlKind::CheckBox) return false;
    }
    char key = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
    std::vector<ControlId> order = KeyboardOrder();
    std::vector<std::size_t> matches;
    for (std::size_t i = 0; i < order.size(); ++i)
        if (key != 0 && Mnemonic(State(order[i]).caption) == key && MnemonicReaches(order[i]))
            matches.push_back(i);
    if (matches.empty()) return false;
    if (matches.size() == 1) {
        PressMnemonic(order[matches.front()]);
        return true;
    }
    // Shared by several controls ("< &Back" and "&Browse..."): pressing one of them would be a
    // guess, so the focus moves on to the next of them after the focused control.
    std::size_t focused =
        static_cast<std::size_t>(std::find(order.begin(), order.end(), focus_) - order.begin());
    std::size_t next = matches.front();
    for (std::size_t at : matches)
        if (focused < order.size() && at > focused) {
            next = at;
            break;
        }
    const ControlDef& def = Control(order[next]);
    FocusIfPossible(def.kind == ControlKind::Label ? def.focusTarget : order[next]);
    return true;
}
