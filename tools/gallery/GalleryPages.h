#pragma once
// Gallery pages: besides the primitives form (the default), each family of controls
// shows itself on forms of its own, chosen with --page NAME. A page registers itself
// from its own file (a *Page.cpp in this folder) with a static GalleryPageRegistration.
#include <cstdio>
#include <functional>
#include <map>
#include <string>

class TApplication;

struct GalleryPageOptions {
    bool selftest = false;  // check own pixels/state after the hold time; exit code says
    std::string outDir = ".";
};

// Creates and shows the page's forms. Returns a function that runs after the
// application loop has ended (the self-test, for example) and gives the exit code;
// it may be empty (exit code 0).
using GalleryPageFactory = std::function<std::function<int()>(TApplication&, const GalleryPageOptions&)>;

std::map<std::string, GalleryPageFactory>& GalleryPages();

struct GalleryPageRegistration {
    GalleryPageRegistration(const char* name, GalleryPageFactory factory) {
        GalleryPages()[name] = std::move(factory);
    }
};

// One line on standard output for every event a control raises, for people and
// end-to-end tests: "event <ControlName> <EventName> [detail]".
inline void PrintEvent(const std::string& control, const std::string& event, const std::string& detail = {}) {
    if (detail.empty())
        std::printf("event %s %s\n", control.c_str(), event.c_str());
    else
        std::printf("event %s %s %s\n", control.c_str(), event.c_str(), detail.c_str());
    std::fflush(stdout);
}
