#include "public/rdcontrol/skin/RdSkinClass.h"

#include <algorithm>

#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextLines.h"
#include "public/rdcontrol/skin/SkinValue.h"

void TRdSkinClassDraw::Assign(const TRdSkinClassDraw& source) {
    const bool changed = FDrawAlpha != source.FDrawAlpha || FDrawScale != source.FDrawScale ||
                         FDrawBkgBlur != source.FDrawBkgBlur || FDrawBlur != source.FDrawBlur ||
                         FDrawGray != source.FDrawGray || FSmoothFilter != source.FSmoothFilter ||
                         FMergeBkg != source.FMergeBkg;
    FDrawAlpha = source.FDrawAlpha;
    FDrawScale = source.FDrawScale;
    FDrawBkgBlur = source.FDrawBkgBlur;
    FDrawBlur = source.FDrawBlur;
    FDrawGray = source.FDrawGray;
    FSmoothFilter = source.FSmoothFilter;
    FMergeBkg = source.FMergeBkg;
    if (changed && OnChange) OnChange();
}

TPropertyTable TRdSkinClassDraw::Properties() {
    TPropertyTable t;
    t.AddInt("DrawAlpha", [this] { return DrawAlpha(); }, [this](int v) { SetDrawAlpha(v); });
    t.AddInt("DrawScale", [this] { return DrawScale(); }, [this](int v) { SetDrawScale(v); });
    t.AddInt("DrawBkgBlur", [this] { return DrawBkgBlur(); }, [this](int v) { SetDrawBkgBlur(v); });
    t.AddInt("DrawBlur", [this] { return DrawBlur(); }, [this](int v) { SetDrawBlur(v); });
    t.AddBool("DrawGray", [this] { return DrawGray(); }, [this](bool v) { SetDrawGray(v); });
    t.AddEnum(
        "SmoothFilter", {"psfDefault", "psfFastSmooth", "psfSmooth"}, [this] { return static_cast<int>(SmoothFilter()); },
        [this](int v) { SetSmoothFilter(static_cast<TPngSmoothFilter>(v)); });
    t.AddBool("MergeBkg", [this] { return MergeBkg(); }, [this](bool v) { SetMergeBkg(v); });
    return t;
}

TRdSkinClass::TRdSkinClass(PropertyProvider provider, TRdSkinStyle* style)
    : FProvider(std::move(provider)), FStyle(style) {
    Subscribe();
}

void TRdSkinClass::Subscribe() {
    auto callback = [this](TSkinStyleEvent event) { OnStyleEvent(event); };
    FSubscription = FStyle ? FStyle->Subscribe(callback) : TRdSkinStyle::SubscribeMain(callback);
}

void TRdSkinClass::OnStyleEvent(TSkinStyleEvent event) {
    switch (event) {
    case TSkinStyleEvent::Reloaded:
    case TSkinStyleEvent::MainChanged: Apply(); break;
    case TSkinStyleEvent::Destroyed:
        // Our own style is going away. The values it applied stay; from now on the
        // main style (if another one exists later) takes over.
        FStyle = nullptr;
        FSkinRcc.clear();
        Subscribe();
        break;
    }
}

void TRdSkinClass::SetSkinClass(std::string name) {
    if (name == FSkinClass) return;
    FSkinClass = std::move(name);
    Apply();
}

void TRdSkinClass::SetStyle(TRdSkinStyle* style) {
    if (style == FStyle) return;
    FStyle = style;
    Subscribe();
    Apply();
}

bool TRdSkinClass::IsIgnored(std::string_view name) const {
    for (const std::string& ignored : FIgnoreValues)
        if (SameTextNoCase(TrimBlanks(ignored), name)) return true;
    return false;
}

void TRdSkinClass::Apply() {
    // OnApplied may change SkinClass or the style; that asks for another pass
    // after this one instead of nesting. A handler that keeps changing it is cut
    // off after a few passes.
    if (FApplying) {
        FApplyAgain = true;
        return;
    }
    FApplying = true;
    int passes = 0;
    do {
        FApplyAgain = false;
        ApplyOnce();
    } while (FApplyAgain && ++passes < 8);
    FApplying = false;
}

void TRdSkinClass::AddApplyListener(TSkinApplyListener* listener) {
    if (std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) FListeners.push_back(listener);
}

void TRdSkinClass::RemoveApplyListener(TSkinApplyListener* listener) {
    std::erase(FListeners, listener);
}

void TRdSkinClass::ApplyOnce() {
    // Copies: a listener may remove itself (or another) while it is told.
    for (TSkinApplyListener* listener : std::vector<TSkinApplyListener*>(FListeners))
        if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end())
            listener->SkinApplyStarted(*this);
    bool applied = false;
    FSkinValues.clear();
    FCurrentValues.clear();
    FSkinRcc.clear();
    TRdSkinStyle* style = CurrentStyle();
    if (style && !FSkinClass.empty()) {
        // A copy: a property setter may reach code that reloads the style.
        const TSkinClassValues values = style->ClassValues(FSkinClass);
        FSkinRcc = values.SkinRcc;
        for (const auto& [name, text] : values.Values) FSkinValues.push_back(name + "=" + text);
        TPropertyTable* table = FProvider ? &FProvider() : nullptr;
        if (table && values.Found) {
            if (!values.ControlClass.empty() && !table->ClassName().empty() &&
                !SameTextNoCase(values.ControlClass, table->ClassName())) {
                style->Log("skin class " + FSkinClass + ": for " + values.ControlClass + ", not " +
                           table->ClassName() + "; not applied");
            } else {
                applied = true;
                const TPropertyTable::ColorLookup namedColors = [style](std::string_view name) {
                    return style->ColorSetting(name);
                };
                for (const auto& [name, text] : values.Values) {
                    if (IsIgnored(name) || !table->Has(name)) continue;
                    const TSkinValueParse parsed = ParseSkinValue(text);
                    if (!parsed) {
                        style->Log("skin class " + FSkinClass + ": " + name + ": " + parsed.Error);
                        continue;
                    }
                    const TApplyOutcome outcome = table->Apply(name, *parsed.Value, namedColors);
                    if (outcome.Result == TApplyResult::Applied)
                        FCurrentValues.push_back(name + "=" + table->Get(name).value_or(text));
                    else if (outcome.Result == TApplyResult::InvalidValue)
                        style->Log("skin class " + FSkinClass + ": " + name + ": " + outcome.Error);
                }
            }
        }
    }
    for (TSkinApplyListener* listener : std::vector<TSkinApplyListener*>(FListeners))
        if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end())
            listener->SkinApplyEnded(*this, applied);
    if (OnApplied) OnApplied(*this);
}

std::optional<std::string> TRdSkinClass::ReadFile(std::string_view path) const {
    TRdSkinStyle* style = CurrentStyle();
    if (!style) return std::nullopt;
    if (const TSkinPackage* own = style->ClassPackage(FSkinRcc))
        if (auto bytes = own->ReadFile(path)) return bytes;
    return style->ReadFile(path);
}
