#include "public/rdcontrol/pictures/Picture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "os/Utf8Path.h"
#include "public/rdcontrol/base/TextCase.h"

namespace {

struct TFileFormat {
    std::string Description;
    TPicture::TGraphicFactory Factory;
};

std::shared_ptr<TRdGraphic> MakePng() { return std::make_shared<TPngGraphic>(); }
std::shared_ptr<TRdGraphic> MakeRdg() { return std::make_shared<TRdgImage>(); }

std::map<std::string, TPicture::TGraphicFactory>& GraphicClasses() {
    static std::map<std::string, TPicture::TGraphicFactory> classes = {
        {TRdgImage::StreamClassName, MakeRdg},
    };
    return classes;
}

// Keyed by the folded extension.
std::map<std::string, TFileFormat>& FileFormats() {
    static std::map<std::string, TFileFormat> formats = {
        {"png", {"Png Image", MakePng}},
        {"rdg", {"Rdg Image", MakeRdg}},
    };
    return formats;
}

// The names stored PNG pictures carry, from every class that ever wrote them.
bool IsPngClassName(std::string_view name) {
    return name == "TPngImage" || name == "TPNGGraphic" || name == "TRdLitePng";
}

}  // namespace

TPicture::~TPicture() {
    if (FGraphic) FGraphic->OnChange = nullptr;
}

void TPicture::SetGraphic(std::shared_ptr<TRdGraphic> graphic) {
    if (graphic == FGraphic) return;
    if (FGraphic) FGraphic->OnChange = nullptr;
    FGraphic = std::move(graphic);
    if (FGraphic) {
        if (auto* rdg = dynamic_cast<TRdgImage*>(FGraphic.get()); rdg && !rdg->Resolver() && FResolver)
            rdg->SetResolver(FResolver);
        FGraphic->OnChange = [this](TRdGraphic*) { Changed(); };
    }
    Changed();
}

void TPicture::Assign(const TRdGraphic* source) { SetGraphic(source ? source->Clone() : nullptr); }

void TPicture::SetResolver(TRdgResolver resolver) {
    FResolver = std::move(resolver);
    if (auto* rdg = dynamic_cast<TRdgImage*>(FGraphic.get())) rdg->SetResolver(FResolver);
}

std::shared_ptr<TRdGraphic> TPicture::Make(const TGraphicFactory& factory) const {
    std::shared_ptr<TRdGraphic> graphic = factory();
    if (auto* rdg = dynamic_cast<TRdgImage*>(graphic.get())) rdg->SetResolver(FResolver);
    return graphic;
}

TPictureForm TPicture::StoredForm() const {
    if (!FGraphic) return TPictureForm::None;
    if (dynamic_cast<const TRdgImage*>(FGraphic.get())) return TPictureForm::Text;
    return FGraphic->Empty() ? TPictureForm::None : TPictureForm::Data;
}

std::string TPicture::Data() const {
    // An RDG image keeps its descriptor even while its picture cannot be found.
    if (!FGraphic || (FGraphic->Empty() && !dynamic_cast<const TRdgImage*>(FGraphic.get()))) return {};
    const std::string name = FGraphic->ClassName();
    std::string data(1, static_cast<char>(name.size()));
    data += name;
    data += FGraphic->SaveToBytes();
    return data;
}

void TPicture::SetData(std::string_view data) {
    if (data.empty()) {
        SetGraphic(nullptr);
        return;
    }
    const std::size_t length = static_cast<unsigned char>(data[0]);
    if (data.size() < 1 + length) throw EInvalidGraphic("Invalid picture data: class name cut short");
    const std::string name(data.substr(1, length));
    const std::string_view stream = data.substr(1 + length);

    std::shared_ptr<TRdGraphic> graphic;
    if (IsPngClassName(name)) {
        graphic = MakePng();
    } else {
        const auto& classes = GraphicClasses();
        const auto it = classes.find(name);
        if (it == classes.end()) throw EInvalidGraphic("Unknown picture format: " + name);
        graphic = Make(it->second);
    }
    graphic->LoadFromBytes(stream);
    SetGraphic(std::move(graphic));
}

std::vector<std::string> TPicture::Text() const {
    const auto* rdg = dynamic_cast<const TRdgImage*>(FGraphic.get());
    if (!rdg) return {};
    return rdg->Values().Lines();
}

void TPicture::SetText(const std::vector<std::string>& lines) {
    auto rdg = std::make_shared<TRdgImage>();
    rdg->SetResolver(FResolver);
    rdg->SetValues(TStringValueList(lines));
    SetGraphic(std::move(rdg));
}

void TPicture::LoadFromFile(const std::string& utf8Path) {
    const std::filesystem::path path = Utf8Path(utf8Path);
    std::string extension = PathUtf8(path.extension());
    if (!extension.empty()) extension.erase(0, 1);  // the dot
    const auto& formats = FileFormats();
    const auto it = formats.find(FoldCase(extension));
    if (it == formats.end()) throw EInvalidGraphic("Unknown picture file extension (." + extension + ")");

    std::ifstream file(path, std::ios::binary);
    if (!file) throw EInvalidGraphic("Cannot open picture file " + utf8Path);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) throw EInvalidGraphic("Cannot read picture file " + utf8Path);

    std::shared_ptr<TRdGraphic> graphic = Make(it->second.Factory);
    graphic->LoadFromBytes(bytes);
    SetGraphic(std::move(graphic));
}

void TPicture::RegisterGraphicClass(const std::string& className, TGraphicFactory factory) {
    GraphicClasses()[className] = std::move(factory);
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicFactory factory) {
    FileFormats()[FoldCase(extension)] = TFileFormat{description, std::move(factory)};
}

std::string TPicture::FileFormatDescription(const std::string& extension) {
    const auto& formats = FileFormats();
    const auto it = formats.find(FoldCase(extension));
    return it == formats.end() ? std::string() : it->second.Description;
}
