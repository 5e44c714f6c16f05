#pragma once
// The installer window on the host: fake OS seam, fake framework windows, the real
// language files and skin pictures of this build tree as the program's resources,
// and a platform fake that records traces and turns the end of the process into an
// exception. The API host is a closed local port, so the start-up request fails at
// once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "Installer/Downloader/flow/BuiltInPictures.h"
#include "Installer/Downloader/platform/InstallerPlatform.h"
#include "Installer/Downloader/window/uMain.h"
#include "net/CurlMulti.h"
#include "tests/unit/FakeOs.h"
#include "tests/unit/input/InputFixture.h"

struct TProcessEnded {};

class TFakeInstallerPlatform final : public TInstallerPlatform {
public:
    void Trace(const std::string& text) override { Traces.push_back(text); }
    void EndProcess() override { throw TProcessEnded{}; }
    std::optional<std::string> Resource(const std::string& name) override {
        const auto it = Resources.find(name);
        if (it == Resources.end()) return std::nullopt;
        std::ifstream in(it->second, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    std::vector<std::string> CommandLineParameters() override { return Parameters; }
    bool ForceForeground(TCustomForm&) override { return true; }
    void StartWindowDrag(TCustomForm& form) override { Dragged.push_back(form.Name()); }
    std::string BrowseForFolder(TCustomForm*, const std::string&) override { return ChosenFolder; }
    void CreateShortcut(const std::string& link, const std::string& target) override {
        Shortcuts.emplace_back(link, target);
    }
    std::unique_ptr<TLockedPackage> HoldPackage(const std::string& file) override { return HoldFileForReading(file); }
    std::unique_ptr<TRunningProcess> StartPackage(const std::string&, const std::string&) override { return nullptr; }
    void SecureFolder(const std::string&) override {}
    TFolderSecurity* FolderSecurity() override { return Folders; }
    std::optional<std::uint32_t> ReadUserDword(const std::string& key, const std::string& name) override {
        const auto it = UserDwords.find(key + "\\" + name);
        if (it == UserDwords.end()) return std::nullopt;
        return it->second;
    }

    std::vector<std::string> Traces, Parameters, Dragged;
    std::vector<std::pair<std::string, std::string>> Shortcuts;
    std::string ChosenFolder;
    std::map<std::string, std::filesystem::path> Resources;  // resource name -> file
    std::map<std::string, std::uint32_t> UserDwords;         // "key\\name" -> value
    TFolderSecurity* Folders = nullptr;  // none: folders as create_directories makes them
};

struct WindowFixture : ::testing::Test {
    WindowFixture() : Loop(MakeEventLoop()), Curl(*Loop) {
        // The window writes its working files below the folders it is given.
        Work = std::filesystem::temp_directory_path() /
               ("qarto-window-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(Work);
        std::filesystem::create_directories(Work);
        // Windows paths such as "C:\\ProgramData\\..." are relative names here:
        // whatever the window writes lands in the test's own folder.
        Previous = std::filesystem::current_path();
        std::filesystem::current_path(Work);
        os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files (x86)";
        os.shell.folders[Csidl::CommonAppData] = "C:\\ProgramData";
        os.shell.folders[Csidl::AppData] = (Work / "AppData").string();
        os.shell.folders[Csidl::LocalAppData] = (Work / "Local").string();
        os.shell.folders[Csidl::DesktopDirectory] = (Work / "Desktop").string();
        os.registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine,
                                "SOFTWARE\\Qarto Private Browser\\InstallerDev", "ApiHost"}] = "http://127.0.0.1:9";
        const std::filesystem::path tree = QARTO_BINARY_DIR;
        for (const auto& entry : std::filesystem::directory_iterator(tree / "resources/lang"))
            if (entry.path().extension() == ".lng") {
                std::string name = entry.path().stem().string();
                for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                Platform.Resources[name] = entry.path();
            }
        const std::filesystem::path png = tree / "resources/skin/png";
        for (const auto& entry : std::filesystem::recursive_directory_iterator(png))
            if (entry.is_regular_file())
                Platform.Resources[TBuiltInPictures::ResourceName(
                    std::filesystem::relative(entry.path(), png).generic_string())] = entry.path();
        auto appPlatform = std::make_unique<TInputPlatform>();
        Screen = appPlatform.get();
        App = std::make_unique<TApplication>(*Loop, std::move(appPlatform));
    }
    ~WindowFixture() override {
        App.reset();
        std::filesystem::current_path(Previous);
        std::error_code ec;
        std::filesystem::remove_all(Work, ec);
    }

    // Builds the window and runs its start-up; false when the process was ended.
    bool Create() {
        try {
            Window = App->CreateForm<TfrmZYRDownloader>(
                TInstallerEnvironment{os.services, Internet, os.clock, Curl, Platform});
            return true;
        } catch (const TProcessEnded&) {
            return false;
        }
    }
    // Runs `action` on the next turn of the event loop (a modal dialog's loop picks
    // it up).
    void Soon(std::function<void()> action) { Loop->Post(std::move(action)); }
    // The forms of the application of the given class, newest last.
    template <typename T>
    std::vector<T*> FormsOf() {
        std::vector<T*> found;
        for (TCustomForm* f : App->Forms())
            if (auto* t = dynamic_cast<T*>(f)) found.push_back(t);
        return found;
    }

    std::filesystem::path Work, Previous;
    FakeOs os;
    FakeInternetSettings Internet;
    TFakeInstallerPlatform Platform;
    std::unique_ptr<EventLoop> Loop;
    CurlMulti Curl;
    TInputPlatform* Screen = nullptr;
    std::unique_ptr<TApplication> App;
    TfrmZYRDownloader* Window = nullptr;
};
