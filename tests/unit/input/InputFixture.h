#pragma once
// A form on a fake platform for the input controls' tests: fake windows (they
// record what the form asks for and paint on demand), a screen area and a mouse
// position the test sets, and a real poll loop for timers.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "net/EventLoop.h"
#include "public/rdcontrol/framework/Application.h"
#include "tests/unit/framework/FakeFormWindow.h"

class TInputPlatform final : public TApplicationPlatform {
public:
    std::unique_ptr<TFormWindow> MakeWindow(TCustomForm& form) override {
        auto log = std::make_shared<TFakeWindowLog>();
        Logs.push_back(log);
        Windows.push_back(&form);
        return std::make_unique<TFakeFormWindow>(form, log);
    }
    TRect WorkArea(TPoint) const override { return Screen; }
    TPoint CursorPos() const override { return Cursor; }
    void SetTitle(const std::string&) override {}

    TRect Screen{0, 0, 1024, 768};
    TPoint Cursor{0, 0};
    std::vector<std::shared_ptr<TFakeWindowLog>> Logs;
    std::vector<TCustomForm*> Windows;  // every form a window was made for, in order
};

struct InputFixture : ::testing::Test {
    InputFixture() : Loop(MakeEventLoop()) {
        auto platform = std::make_unique<TInputPlatform>();
        Platform = platform.get();
        App = std::make_unique<TApplication>(*Loop, std::move(platform));
        Form = App->CreateForm<TCustomForm>();
        Form->SetBounds(100, 100, 400, 300);
        Form->SetColor(clWhite);
        Form->Show();
    }
    ~InputFixture() override { App.reset(); }

    // Mouse input as the window hands it to the form (form client coordinates);
    // the platform's cursor follows (on the screen).
    void Move(int x, int y) {
        Platform->Cursor = TPoint{Form->Left() + x, Form->Top() + y};
        Form->HandleMouseMove(0, x, y);
    }
    void Press(int x, int y, TMouseButton b = mbLeft) {
        Move(x, y);
        Form->HandleMouseDown(b, b == mbLeft ? ssLeft : 0u, x, y, false);
    }
    void Release(int x, int y, TMouseButton b = mbLeft) {
        Move(x, y);
        Form->HandleMouseUp(b, 0, x, y);
    }
    void Click(int x, int y) {
        Press(x, y);
        Release(x, y);
    }
    std::uint32_t Pixel(int x, int y) {
        Form->PaintAll();
        return Form->BackBuffer().Pixel(x, y);
    }

    std::unique_ptr<EventLoop> Loop;
    TInputPlatform* Platform = nullptr;
    std::unique_ptr<TApplication> App;
    TCustomForm* Form = nullptr;
};

// Premultiplied opaque pixel of an RGB colour value.
inline std::uint32_t Opaque(TColor c) { return ColorToArgb(c); }
