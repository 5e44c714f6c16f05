#include "public/rdcontrol/pictures/ImageCache.h"

#include <exception>

#include "public/rdcontrol/base/TextCase.h"

TImageCache::TImageCache(TReader reader) : FState(std::make_shared<TState>()) {
    FState->Reader = std::move(reader);
}

TImageCache::~TImageCache() = default;

std::shared_ptr<TRdGraphic> TImageCache::Get(const std::string& name) { return Get(FState, name); }

std::shared_ptr<TRdGraphic> TImageCache::Get(const std::shared_ptr<TState>& state, const std::string& name) {
    if (const auto* found = state->Pictures.Find(name)) return *found;

    std::shared_ptr<TRdGraphic> picture;
    const std::optional<std::string> bytes = state->Reader ? state->Reader(name) : std::nullopt;
    if (bytes) {
        std::shared_ptr<TRdGraphic> made;
        constexpr std::string_view kRdg = ".rdg";
        if (name.size() >= kRdg.size() && SameTextNoCase(std::string_view(name).substr(name.size() - kRdg.size()), kRdg)) {
            auto rdg = std::make_shared<TRdgImage>();
            rdg->SetResolver([weak = std::weak_ptr<TState>(state)](const std::string& n) -> std::shared_ptr<TRdGraphic> {
                const auto s = weak.lock();
                return s ? Get(s, n) : nullptr;
            });
            made = rdg;
        } else {
            made = std::make_shared<TPngGraphic>();
        }
        const bool isRdg = dynamic_cast<TRdgImage*>(made.get()) != nullptr;
        try {
            made->LoadFromBytes(*bytes);
            // An RDG image is not asked for its size here: that would resolve its
            // chain while this name is not cached yet, and a cycle would never end.
            if (isRdg || !made->Empty()) picture = std::move(made);
        } catch (const std::exception&) {
            // Kept as missing: a broken file stays broken until the skin changes.
        }
    }
    state->Pictures.Set(name, picture);
    return picture;
}

void TImageCache::Clear() { FState->Pictures.Clear(); }

std::size_t TImageCache::Count() const { return FState->Pictures.Count(); }

TRdgResolver TImageCache::Resolver() const {
    return [weak = std::weak_ptr<TState>(FState)](const std::string& name) -> std::shared_ptr<TRdGraphic> {
        const auto state = weak.lock();
        return state ? Get(state, name) : nullptr;
    };
}
