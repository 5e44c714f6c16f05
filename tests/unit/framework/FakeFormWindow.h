#pragma once
// A form window for tests: records what the form asks of the platform and paints
// the form's back buffer when asked, like the real window does on WM_PAINT.
#include <memory>
#include <vector>

#include "public/rdcontrol/framework/Application.h"

struct TFakeWindowLog {
    TRect Bounds;
    bool Visible = false;
    bool Enabled = true;
    bool Capture = false;
    TCursor Cursor = crDefault;
    TFormLayering Layering = TFormLayering::Opaque;
    std::uint8_t Alpha = 255;
    int Invalidations = 0;
    std::string Caption;
};

class TFakeFormWindow final : public TFormWindow {
public:
    TFakeFormWindow(TCustomForm& form, std::shared_ptr<TFakeWindowLog> log) : FForm(form), FLog(std::move(log)) {}
    void SetBounds(const TRect& r) override { FLog->Bounds = r; }
    void SetVisible(bool visible, bool) override { FLog->Visible = visible; }
    void SetCaption(const std::string& c) override { FLog->Caption = c; }
    void SetLayering(TFormLayering layering, std::uint8_t alpha) override {
        FLog->Layering = layering;
        FLog->Alpha = alpha;
    }
    void SetStayOnTop(bool) override {}
    void SetEnabled(bool enabled) override { FLog->Enabled = enabled; }
    void SetOwnerWindow(TFormWindow*) override {}
    void Activate() override {}
    void Minimize() override { FMinimized = true; }
    void Restore() override { FMinimized = false; }
    bool Minimized() const override { return FMinimized; }
    void Invalidate(const TRect&) override { ++FLog->Invalidations; }
    void Update() override { FForm.PaintInvalid(); }
    void SetMouseCapture(bool capture) override { FLog->Capture = capture; }
    void SetCursor(TCursor cursor) override { FLog->Cursor = cursor; }
    void TrackMouseLeave() override {}

private:
    TCustomForm& FForm;
    std::shared_ptr<TFakeWindowLog> FLog;
    bool FMinimized = false;
};

class TFakePlatform final : public TApplicationPlatform {
public:
    std::unique_ptr<TFormWindow> MakeWindow(TCustomForm& form) override {
        auto log = std::make_shared<TFakeWindowLog>();
        Logs.push_back(log);
        return std::make_unique<TFakeFormWindow>(form, log);
    }
    TRect WorkArea(TPoint) const override { return TRect{0, 0, 1024, 768}; }
    TPoint CursorPos() const override { return TPoint{}; }
    void SetTitle(const std::string& title) override { Title = title; }
    std::vector<std::shared_ptr<TFakeWindowLog>> Logs;
    std::string Title;
};
