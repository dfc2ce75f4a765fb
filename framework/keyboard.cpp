#include "framework/keyboard.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "framework/translate.h"

namespace linkmate::fw {
namespace {

// A control whose top lies this close below the first one of a row belongs to that row: a check
// box stands a unit lower than the list beside it.
constexpr int kSameRowDlu = 4;

// A label ends this close above the control it stands over.
constexpr int kLabelAboveGapDlu = 4;

bool IsLabel(const ControlTemplate& c) {
    return c.kind == ControlKind::kText && !c.text.empty() && (c.style & kOnPicture) == 0;
}

bool IsNamedByLabel(ControlKind kind) {
    return kind == ControlKind::kDropDownList || kind == ControlKind::kEdit ||
           kind == ControlKind::kListView || kind == ControlKind::kListBox;
}

// The label naming the control `c`, as an index into `controls`; `controls.size()` for none.
size_t LabelOf(const std::vector<ControlTemplate>& controls, const ControlTemplate& c) {
    size_t beside = controls.size();
    size_t above = controls.size();
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate& l = controls[i];
        if (!IsLabel(l)) continue;
        if (std::abs(l.y - c.y) <= kSameRowDlu && l.x < c.x) {
            if (beside == controls.size() || l.x > controls[beside].x) beside = i;
            continue;
        }
        const int gap = c.y - (l.y + l.cy);
        const bool overlaps = l.x < c.x + c.cx && c.x < l.x + l.cx;
        if (gap >= 0 && gap <= kLabelAboveGapDlu && overlaps &&
            (above == controls.size() || l.y > controls[above].y)) {
            above = i;
        }
    }
    return beside != controls.size() ? beside : above;
}

bool IsClickable(const Control& control) {
    const ControlPeer* peer = control.peer();
    if (peer == nullptr) return false;
    const ControlKind kind = peer->Kind();
    return kind == ControlKind::kPushButton || kind == ControlKind::kDefPushButton ||
           kind == ControlKind::kAutoCheckBox;
}

}  // namespace

std::vector<LabelLink> LabelLinks(const DialogTemplate& tmpl) {
    const std::vector<ControlTemplate>& controls = tmpl.controls;
    std::vector<LabelLink> links;
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlTemplate& c = controls[i];
        size_t label = controls.size();
        if (IsNamedByLabel(c.kind)) {
            label = LabelOf(controls, c);
        } else if (c.kind == ControlKind::kUpDown && i > 0 && !links.empty() &&
                   links.back().control == i - 1) {
            label = links.back().label;
        }
        if (label == controls.size()) continue;
        const std::string text = Translate(tmpl.context.c_str(), controls[label].text.c_str());
        links.push_back({label, i, WithoutMnemonic(text), MnemonicOf(text)});
    }
    return links;
}

std::string WithoutMnemonic(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

std::vector<int> TabOrder(const DialogTemplate& tmpl) {
    std::vector<const ControlTemplate*> stops;
    for (const ControlTemplate& c : tmpl.controls) {
        if ((c.style & kTabStop) != 0 && c.id != IDC_STATIC) stops.push_back(&c);
    }
    std::stable_sort(
        stops.begin(), stops.end(),
        [](const ControlTemplate* a, const ControlTemplate* b) { return a->y < b->y; });
    std::vector<int> ids;
    for (auto row = stops.begin(); row != stops.end();) {
        const int top = (*row)->y;
        const auto end = std::find_if(
            row, stops.end(), [top](const ControlTemplate* c) { return c->y > top + kSameRowDlu; });
        std::stable_sort(row, end, [](const ControlTemplate* a, const ControlTemplate* b) {
            return a->x < b->x;
        });
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
                          : std::find_if(matches.begin(), matches.end(),
                                         [focused](size_t i) { return i > focused; });
    Control target = tabOrder[next == matches.end() ? matches.front() : *next];
    target.SetFocus();
    if (target.peer()->Kind() == ControlKind::kEdit) Edit(target.peer()).SetSel();
    return true;
}

}  // namespace linkmate::fw
