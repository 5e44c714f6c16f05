// Building the installer window and painting its first frame, on the host: the same
// construction Setup.exe runs at its start (every control, the language, the skin's
// pictures, the start-up checks), on windowless forms and the made-up system of the
// unit tests, with this tree's language files and skin pictures as resources. Host
// text uses the fixed test metrics, so this is our code alone: what a profiler
// (perf record on this program) sees here is what the window's creation costs apart
// from the system's text and window calls. The API host is a closed port.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "Installer/Downloader/flow/BuiltInPictures.h"
#include "Installer/Downloader/package/LockedPackage.h"
#include "Installer/Downloader/platform/InstallerPlatform.h"
#include "Installer/Downloader/window/uMain.h"
#include "net/CurlMulti.h"
#include "net/EventLoop.h"
#include "public/rdcontrol/framework/Application.h"
#include "tests/unit/FakeOs.h"

namespace {

class TNoWindowPlatform final : public TApplicationPlatform {
public:
    std::unique_ptr<TFormWindow> MakeWindow(TCustomForm&) override { return nullptr; }
    TRect WorkArea(TPoint) const override { return TRect{0, 0, 1280, 1024}; }
    TPoint CursorPos() const override { return TPoint{}; }
    void SetTitle(const std::string&) override {}
};

class TBenchInstallerPlatform final : public TInstallerPlatform {
public:
    void Trace(const std::string&) override {}
    void EndProcess() override { std::abort(); }
    std::optional<std::string> Resource(const std::string& name) override {
        const auto it = Resources.find(name);
        if (it == Resources.end()) return std::nullopt;
        std::ifstream in(it->second, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    std::vector<std::string> CommandLineParameters() override { return {}; }
    bool ForceForeground(TCustomForm&) override { return true; }
    void StartWindowDrag(TCustomForm&) override {}
    std::string BrowseForFolder(TCustomForm*, const std::string&) override { return {}; }
    void CreateShortcut(const std::string&, const std::string&) override {}
    std::unique_ptr<TLockedPackage> HoldPackage(const std::string& file) override { return HoldFileForReading(file); }
    std::unique_ptr<TRunningProcess> StartPackage(const std::string&, const std::string&) override { return nullptr; }
    void SecureFolder(const std::string&) override {}
    std::optional<std::uint32_t> ReadUserDword(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::map<std::string, std::filesystem::path> Resources;  // resource name -> file
};

void BM_CreateAndPaintInstallerWindow(benchmark::State& state) {
    const std::filesystem::path work = std::filesystem::temp_directory_path() / "qarto-bench-window";
    std::filesystem::remove_all(work);
    std::filesystem::create_directories(work);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(work);  // the window's Windows paths land here

    FakeOs os;
    os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files (x86)";
    os.shell.folders[Csidl::CommonAppData] = "C:\\ProgramData";
    os.shell.folders[Csidl::AppData] = (work / "AppData").string();
    os.shell.folders[Csidl::LocalAppData] = (work / "Local").string();
    os.shell.folders[Csidl::DesktopDirectory] = (work / "Desktop").string();
    os.registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine,
                            "SOFTWARE\\Qarto Private Browser\\InstallerDev", "ApiHost"}] = "http://127.0.0.1:9";
    FakeInternetSettings internet;
    TBenchInstallerPlatform platform;
    const std::filesystem::path tree = QARTO_BINARY_DIR;
    for (const auto& entry : std::filesystem::directory_iterator(tree / "resources/lang"))
        if (entry.path().extension() == ".lng") {
            std::string name = entry.path().stem().string();
            for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            platform.Resources[name] = entry.path();
        }
    const std::filesystem::path png = tree / "resources/skin/png";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(png))
        if (entry.is_regular_file())
            platform.Resources[TBuiltInPictures::ResourceName(
                std::filesystem::relative(entry.path(), png).generic_string())] = entry.path();

    for (auto _ : state) {
        auto loop = MakeEventLoop();
        CurlMulti curl(*loop);
        TApplication app(*loop, std::make_unique<TNoWindowPlatform>());
        auto* window = app.CreateForm<TfrmZYRDownloader>(TInstallerEnvironment{os.services, internet, os.clock, curl,
                                                                               platform});
        window->Show();
        window->PaintAll();
        benchmark::DoNotOptimize(window->BackBuffer().Row(0));
    }
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(work);
}
BENCHMARK(BM_CreateAndPaintInstallerWindow)->Unit(benchmark::kMillisecond);

}  // namespace
