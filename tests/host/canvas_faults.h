// Creation failures on purpose for the software canvas, so that the fallbacks of the code that
// draws can be exercised.
#pragma once

#include <map>
#include <memory>

#include "saver/render/soft_canvas.h"

namespace vellora::test {

// Makes the creation of one kind of drawing object fail. Counts every attempt, whether it
// succeeds or not.
class CreationFaults {
public:
    // Every creation succeeds (the default).
    void Never() { mode_ = Mode::Never; }
    void Always() { mode_ = Mode::Always; }
    // The first n creations from now on succeed, every later one fails.
    void After(int n) {
        mode_ = Mode::After;
        n_ = attempts_ + n;
    }
    // Only the creation that is the n-th from now on (0 = the next one) fails.
    void Only(int n) {
        mode_ = Mode::Only;
        n_ = attempts_ + n;
    }

    // Counts one attempt and answers whether it may succeed.
    bool Allow() {
        const int attempt = attempts_++;
        switch (mode_) {
            case Mode::Never: return true;
            case Mode::Always: return false;
            case Mode::After: return attempt < n_;
            case Mode::Only: return attempt != n_;
        }
        return true;
    }
    int Attempts() const { return attempts_; }

private:
    enum class Mode { Never, Always, After, Only };
    Mode mode_ = Mode::Never;
    int n_ = 0;
    int attempts_ = 0;
};

struct CanvasFaults {
    CreationFaults backBufferFaults;
    CreationFaults brushFaults;
    CreationFaults penFaults;

    bool Allow(SoftObject kind) {
        switch (kind) {
            case SoftObject::BackBuffer: return backBufferFaults.Allow();
            case SoftObject::Brush: return brushFaults.Allow();
            case SoftObject::Pen: return penFaults.Allow();
        }
        return true;
    }
};

// The faults of a window and every back buffer made from it, attached on first use.
inline CanvasFaults& FaultsOf(SoftCanvas& canvas) {
    static std::map<const SoftCanvasShared*, std::shared_ptr<CanvasFaults>> attached;
    SoftCanvasShared& shared = canvas.Shared();
    std::shared_ptr<CanvasFaults>& faults = attached[&shared];
    // A canvas made where an earlier one lived has no question yet: it starts afresh.
    if (!faults || !shared.allowCreation) {
        faults = std::make_shared<CanvasFaults>();
        shared.allowCreation = [f = faults](SoftObject kind) { return f->Allow(kind); };
    }
    return *faults;
}

}  // namespace vellora::test
