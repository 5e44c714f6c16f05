#pragma once
// TPicture: the picture property of the skinned controls. It holds one graphic (or
// none) and stores it in a form description in one of two forms:
// - Data: the graphic's class name as a short string (one length byte, then the
//   bytes) followed by the class's own stream. "TPngImage", "TPNGGraphic" and
//   "TRdLitePng" load as TPngGraphic; any other name must be registered
//   (RegisterGraphicClass; "TRdgImage" is, and the controls library registers "TIcon"
//   as soon as a tray icon or an image list exists, TIcon::Register). An unknown name or
//   unreadable data throws EInvalidGraphic (or the class's own error, EPngError for
//   PNG) and leaves the picture as it was.
// - Text: the lines of an RDG descriptor; setting it makes the graphic a TRdgImage
//   with the picture's resolver. A picture whose graphic is an RDG image stores Text,
//   any other stores Data (StoredForm).
//
// Files are loaded by extension, matched without regard to case against the
// registered formats: "png" ("Png Image", TPngGraphic) and "rdg" ("Rdg Image",
// TRdgImage) are built in.
//
// The picture sets its graphic's OnChange and raises its own OnChange after the
// graphic was replaced or changed; hand it a graphic nothing else listens to (a
// Clone() of a shared one) or use Assign. UI thread only; the registries are
// process-wide and meant to be filled at start-up.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "public/rdcontrol/pictures/RdGraphic.h"
#include "public/rdcontrol/pictures/RdgImage.h"

class EInvalidGraphic : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TPictureForm { None, Data, Text };

class TPicture {
public:
    using TGraphicFactory = std::function<std::shared_ptr<TRdGraphic>()>;
    using TNotifyEvent = std::function<void(TPicture* sender)>;

    TPicture() = default;
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    const std::shared_ptr<TRdGraphic>& Graphic() const { return FGraphic; }
    // Takes graphic as this picture's own (nullptr empties the picture).
    void SetGraphic(std::shared_ptr<TRdGraphic> graphic);
    // A clone of source (an empty picture for nullptr).
    void Assign(const TRdGraphic* source);
    void Clear() { SetGraphic(nullptr); }

    bool Empty() const { return !FGraphic || FGraphic->Empty(); }
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    void Draw(TRdCanvas& canvas, const TRect& dest) {
        if (FGraphic) FGraphic->Draw(canvas, dest);
    }

    // Given to RDG images this picture makes (Text, files) and to an RDG graphic set.
    const TRdgResolver& Resolver() const { return FResolver; }
    void SetResolver(TRdgResolver resolver);

    TPictureForm StoredForm() const;
    // "" for an empty picture.
    std::string Data() const;
    void SetData(std::string_view data);
    // The descriptor lines of an RDG graphic; empty for any other graphic.
    std::vector<std::string> Text() const;
    void SetText(const std::vector<std::string>& lines);

    // Throws EInvalidGraphic for an unknown extension or a file that cannot be read,
    // or the class's error for bad content; the picture stays as it was.
    void LoadFromFile(const std::string& utf8Path);

    // Data class names (exact) and file extensions (without the dot, any case).
    static void RegisterGraphicClass(const std::string& className, TGraphicFactory factory);
    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   TGraphicFactory factory);
    // The description of a registered extension, "" when there is none.
    static std::string FileFormatDescription(const std::string& extension);

    TNotifyEvent OnChange;

private:
    std::shared_ptr<TRdGraphic> Make(const TGraphicFactory& factory) const;
    // Through a copy: the handler may free the picture or replace OnChange.
    void Changed() {
        if (!OnChange) return;
        const TNotifyEvent handler = OnChange;
        handler(this);
    }

    std::shared_ptr<TRdGraphic> FGraphic;
    TRdgResolver FResolver;
};
