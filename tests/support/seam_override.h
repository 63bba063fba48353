// Puts a test's replacement in one of the program's seams for the life of an object.
#pragma once

namespace test_support {

// RAII over a seam (a function pointer in front of a real call, or the value the program
// calls through): the constructor keeps what the seam holds and installs the replacement,
// the destructor puts it back. The replacement is a plain function, so it reaches its
// object through Active() and the real call through Active().Previous().
//
// Derived is the kind of override: while one of a kind is alive, a second of the same kind
// takes over from it, and goes on to what the first went on to.
template <typename Derived, typename Seam>
class SeamOverride {
public:
    SeamOverride(const SeamOverride&) = delete;
    SeamOverride& operator=(const SeamOverride&) = delete;

protected:
    SeamOverride(Seam& seam, Seam replacement)
        : seam_(seam), saved_(seam), outer_(active_), previous_(outer_ ? outer_->previous_ : seam) {
        seam_ = replacement;
        active_ = this;
    }
    ~SeamOverride() {
        seam_ = saved_;
        active_ = outer_;
    }

    // The newest live override of this kind.
    static Derived& Active() { return static_cast<Derived&>(*active_); }
    // Where the replacement goes on to: the real call, or an override of another kind.
    Seam Previous() const { return previous_; }

private:
    Seam& seam_;
    Seam saved_;
    SeamOverride* outer_;
    Seam previous_;

    static inline SeamOverride* active_ = nullptr;
};

}  // namespace test_support
