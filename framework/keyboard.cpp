#include "framework/keyboard.h"

#include <algorithm>
#include <cctype>

namespace linkmate::fw {
namespace {

// A control whose top lies this close below the first one of a row belongs to that row: a check
// box stands a unit lower than the list beside it.
constexpr int kSameRowDlu = 4;

bool IsClickable(const Control& control) {
    const ControlPeer* peer = control.peer();
    if (peer == nullptr) return false;
    const ControlKind kind = peer->Kind();
    return kind == ControlKind::kPushButton || kind == ControlKind::kDefPushButton ||
           kind == ControlKind::kAutoCheckBox;
}

}  // namespace

std::vector<int> TabOrder(const DialogTemplate& tmpl) {
    std::vector<const ControlTemplate*> stops;
    for (const ControlTemplate& c : tmpl.controls) {
        if ((c.style & kTabStop) != 0 && c.id != IDC_STATIC) stops.push_back(&c);
    }
    std::stable_sort(stops.begin(), stops.end(),
                     [](const ControlTemplate* a, const ControlTemplate* b) { return a->y < b->y; });
    std::vector<int> ids;
    for (auto row = stops.begin(); row != stops.end();) {
        const int top = (*row)->y;
        const auto end = std::find_if(row, stops.end(), [top](const ControlTemplate* c) { return c->y > top + kSameRowDlu; });
        std::stable_sort(row, end, [](const ControlTemplate* a, const ControlTemplate* b) { return a->x < b->x; });
        for (auto it = row; it != end; ++it) ids.push_back((*it)->id);
        row = end;
    }
    return ids;
}

char MnemonicOf(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        const unsigned char next = static_cast<unsigned char>(text[i + 1]);
        if (next == '&') {
            ++i;
            continue;
        }
        return next < 0x80 && std::isalnum(next) ? static_cast<char>(std::toupper(next)) : 0;
    }
    return 0;
}

bool PressMnemonic(const std::vector<Control>& tabOrder, char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    std::vector<size_t> matches;
    size_t focused = tabOrder.size();
    for (size_t i = 0; i < tabOrder.size(); ++i) {
        const Control& c = tabOrder[i];
        if (c.HasFocus()) focused = i;
        if (c.GetMnemonic() == letter && c.CanTakeFocus()) matches.push_back(i);
    }
    if (matches.empty()) return false;
    if (matches.size() == 1 && IsClickable(tabOrder[matches.front()])) {
        Control target = tabOrder[matches.front()];
        // A check box takes the focus with its click, a push button leaves it where it was.
        if (target.peer()->Kind() == ControlKind::kAutoCheckBox) target.SetFocus();
        target.Click();
        return true;
    }
    // The first match after the focused control; from the start when nothing of the window has it.
    const auto next = focused == tabOrder.size()
                          ? matches.begin()
                          : std::find_if(matches.begin(), matches.end(), [focused](size_t i) { return i > focused; });
    Control target = tabOrder[next == matches.end() ? matches.front() : *next];
    target.SetFocus();
    return true;
}

}  // namespace linkmate::fw
