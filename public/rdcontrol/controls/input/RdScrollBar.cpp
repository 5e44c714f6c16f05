#include "public/rdcontrol/controls/input/RdScrollBar.h"

TRdScrollBar::TRdScrollBar(TComponent* owner) : TWinControl(owner) {
    TControl::SetColor(clNone);
    SetBounds(0, 0, 17, 121);
    FBar = new TRdScrollBarEx(this);
    FBar->SetName("Bar");
    FBar->SetParent(this);
    FBar->SetAlign(alClient);
    FBar->SetAutoHideTarget(this);
}

void TRdScrollBar::AdoptScrollInfo(const TScrollInfoSource& source, TScrollBarKind kind) {
    const TScrollInfo info = source.ScrollInfo(kind);
    FBar->SetParams(info.Min, info.Max, info.Visible ? info.Page : info.Max + 1, info.Pos);
}

void TRdScrollBar::EnabledChanged() {
    TWinControl::EnabledChanged();
    FBar->SetEnabled(Enabled());
}

void TRdScrollBar::PublishProperties(TPropertyTable& table) {
    TWinControl::PublishProperties(table);
    // The bar's own properties, under the names the combo box stores them by.
    TPropertyTable& bar = FBar->Properties();
    for (const std::string& name : bar.Names())
        if (name != "Left" && name != "Top" && name != "Width" && name != "Height" && name != "Align" &&
            name != "Visible")
            table.Add(
                name, [&bar, name](const TSkinValue& v) -> std::optional<std::string> {
                    TApplyOutcome outcome = bar.Apply(name, v);
                    if (outcome.Result == TApplyResult::InvalidValue) return outcome.Error;
                    return std::nullopt;
                },
                [&bar, name] { return bar.Get(name).value_or(""); });
}
