#pragma once
// TImageCache: the skin's pictures by name, read on first use and kept.
//
// A name is handed unchanged to the reader (the skin's ":/" file reader). Names
// ending ".rdg" (any case) load as TRdgImage whose resolver is this cache; all
// others as PNG. A name that cannot be read or decoded is kept as missing (nullptr)
// so that a paint does not read it again; Clear() forgets everything, missing names
// included. The pictures handed out are shared: a caller that listens to OnChange or
// changes one takes a Clone().
//
// Resolver() is what RDG images are given; it holds the cache weakly, so an image
// that outlives its cache resolves nothing instead of reaching freed memory. The
// reader may block (file reads); UI thread only.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "public/rdcontrol/base/Hashes.h"
#include "public/rdcontrol/pictures/RdGraphic.h"
#include "public/rdcontrol/pictures/RdgImage.h"

class TImageCache {
public:
    using TReader = std::function<std::optional<std::string>(const std::string& path)>;
    static constexpr std::size_t BucketCount = 512;

    explicit TImageCache(TReader reader);
    ~TImageCache();
    TImageCache(const TImageCache&) = delete;
    TImageCache& operator=(const TImageCache&) = delete;

    // The picture of name, nullptr when it cannot be read or decoded.
    std::shared_ptr<TRdGraphic> Get(const std::string& name);
    void Clear();
    // Names held, missing ones included.
    std::size_t Count() const;

    TRdgResolver Resolver() const;

private:
    struct TState {
        TReader Reader;
        TStringHash<std::shared_ptr<TRdGraphic>> Pictures{BucketCount};
    };
    static std::shared_ptr<TRdGraphic> Get(const std::shared_ptr<TState>& state, const std::string& name);

    std::shared_ptr<TState> FState;
};
