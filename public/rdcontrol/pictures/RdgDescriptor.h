#pragma once
// RDG picture descriptors: a few "name=value" lines telling a control which picture
// to show and how.
//
// Names match without regard to case; a name may end in "!" ("imgrect!"), which
// marks the value as given explicitly: it overrides what a base descriptor says and
// is what gets written back. Known names:
//   imgname    picture name, optionally followed by "<script>" (see RdgFrameScript.h);
//              with a script the name is a pattern holding the frame number; a
//              script that is one range ending in "*" ("<1-12*>") plays as a
//              plain index range, forward or backward, wrapping to its start
//   imgrect    left,top,right,bottom of the part to show; all 0 = the whole picture
//   imgalpha   constant opacity 0..255, -1 = inherit (default); above 255 reads as
//              255, below 0 as -1
//   imgsmooth  0, 1, 2 = TPixelStretchFilter; other numbers are kept as written
//   imgopt     left,top,right,bottom,mode -> TDesignRect; an unknown mode reads as
//              sdmDefault
//   duration   milliseconds of one pass of the animation (or of its first segment)
//   PlayImgName, PlayScript  text, kept as it is
// In imgrect, imgopt and duration an unreadable number counts as 0; in imgalpha and
// imgsmooth it leaves the value as it was. Later lines win over earlier ones. Other
// lines are kept in place and written back unchanged.
//
// Saving writes UTF-8 with its byte-order mark: imgname (with its script), imgrect!,
// imgalpha!, imgopt! and duration! when explicit, imgsmooth when not 0; a known
// name with nothing to write loses its line. With a base (InheritFrom), lines that
// say what the base says are left out, except imgname, which is never inherited.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/pictures/RdgFrameScript.h"

struct TRdgRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool WholePicture() const { return Left == 0 && Top == 0 && Right == 0 && Bottom == 0; }
    bool operator==(const TRdgRect&) const = default;
};

class TRdgDescriptor {
public:
    // Bytes as stored: a byte-order mark selects UTF-8 or UTF-16, otherwise the
    // system code page.
    void LoadFromBytes(std::string_view bytes);
    void LoadFromText(std::string_view utf8);
    // The lines joined with CR LF (no byte-order mark).
    std::string SaveToText() const;
    // SaveToText as UTF-8 with its byte-order mark.
    std::string SaveToBytes() const;

    // Takes what this descriptor does not say itself from base: lines of names it
    // lacks (imgname aside), and rect, alpha, options and duration that are not
    // explicit here. Remembers base's values so that Save leaves out repeats.
    void InheritFrom(const TRdgDescriptor& base);

    // imgname as written, script included.
    const std::string& ImgName() const { return FImgName; }
    void SetImgName(std::string_view value);
    // The name without its script: the picture, or with a script the frame pattern.
    const std::string& ImagePattern() const { return FPattern; }
    bool HasScript() const { return FHasScript; }
    const std::string& Script() const { return FScript; }
    // The compiled script (empty without one, and for a plain range), against the
    // current duration.
    const TRdgFrameList& FrameList() const { return FFrames; }
    // first and last of a script that is one wrapping range ("<1-12*>"): the
    // animation steps through those indices without a frame list.
    const std::optional<std::pair<int, int>>& PlainRange() const { return FPlainRange; }
    // The picture of frame k (the pattern itself without a script).
    std::string FrameImageName(int k) const;
    // An animation over the frame list, started at nowMs.
    TRdgAnimation MakeAnimation(std::int64_t nowMs) const;

    const TRdgRect& ImgRect() const { return FRect; }
    bool ImgRectExplicit() const { return FRectExplicit; }
    void SetImgRect(const TRdgRect& value, bool isExplicit = true);

    int ImgAlpha() const { return FAlpha; }
    bool ImgAlphaExplicit() const { return FAlphaExplicit; }
    void SetImgAlpha(int value, bool isExplicit = true);

    int ImgSmooth() const { return FSmooth; }
    void SetImgSmooth(int value) { FSmooth = value; }

    const TDesignRect& ImgOpt() const { return FOpt; }
    bool ImgOptExplicit() const { return FOptExplicit; }
    void SetImgOpt(const TDesignRect& value, bool isExplicit = true);

    int Duration() const { return FDuration; }
    bool DurationExplicit() const { return FDurationExplicit; }
    void SetDuration(int value, bool isExplicit = true);

    // The value of the last line named name (a trailing "!" on either side is
    // ignored); nullopt when there is none. Reads any line, PlayImgName and
    // PlayScript included.
    std::optional<std::string> Value(std::string_view name) const;
    const std::vector<std::string>& Lines() const { return FLines; }

private:
    void Apply(std::string_view key, bool isExplicit, std::string_view value);
    void Recompile();
    bool HasName(std::string_view foldedKey) const;
    std::vector<std::string> OutputLines() const;

    std::vector<std::string> FLines;
    // Base values as the base would save them: folded name without "!", value.
    std::vector<std::pair<std::string, std::string>> FBaseValues;

    std::string FImgName, FPattern, FScript;
    bool FHasScript = false;
    TRdgFrameList FFrames;
    std::optional<std::pair<int, int>> FPlainRange;
    TRdgRect FRect;
    bool FRectExplicit = false;
    int FAlpha = -1;
    bool FAlphaExplicit = false;
    int FSmooth = 0;
    TDesignRect FOpt;
    bool FOptExplicit = false;
    int FDuration = 0;
    bool FDurationExplicit = false;
};
